import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "MenuEntries.js" as MenuEntries

// The menu bar every selection shares: "File", "View" and "Help". The bar of a
// selected object adds that object's entries to "File", before "Exit".
MenuBar {
    id: menuBar
    objectName: "menuBar"

    required property ShellActions shell
    // The selected object the bar was made for (null for the general bar).
    property VornObject vornObject: null
    // Entries of the object: Actions, null for a separator.
    property var objectEntries: []

    Menu {
        id: fileMenu
        objectName: "fileMenu"
        title: "File"
        delegate: VornMenuItem {}
        VornMenuItem { action: menuBar.shell.connectCamera }
        VornMenuItem { action: menuBar.shell.recordAll }
        VornMenuItem { action: menuBar.shell.triggerAll }
        VornMenuItem { action: menuBar.shell.abortAll }
        MenuSeparator {}
        VornMenuItem { action: menuBar.shell.openVornFile }
        VornMenuItem { action: menuBar.shell.batchSaveVornFiles }
        VornMenuItem { action: menuBar.shell.closeAllVornFiles }
        MenuSeparator {}
        VornMenuItem { action: menuBar.shell.reviewSideBySide }
        VornMenuItem { action: menuBar.shell.reviewNewestTakes }
        MenuSeparator {}
        VornMenuItem { action: menuBar.shell.exit; objectName: "exitItem" }
    }

    Menu {
        objectName: "viewMenu"
        title: "View"
        VornMenuItem { action: menuBar.shell.saveProgress }
    }

    Menu {
        objectName: "helpMenu"
        title: "Help"
        VornMenuItem { action: menuBar.shell.checkForUpdates }
        VornMenuItem { action: menuBar.shell.about }
    }

    Component.onCompleted: {
        if (objectEntries.length > 0)
            MenuEntries.insert(fileMenu, fileMenu.count - 1, objectEntries.concat([null]), separatorComponent)
    }

    property Component separatorComponent: Component {
        MenuSeparator {}
    }
}
