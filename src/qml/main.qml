import QtQuick
import QtQuick.Controls
import QtQuick.Window
import Vorn 1.0
import "ViewRegistry.js" as Registry
import "Format.js" as Format

// The main window: the view of the selected object in the centre, the object
// tab column on the right, and the menu bar of the selected object.
ApplicationWindow {
    id: window
    objectName: "mainWindow"

    title: "VORN"
    // Small enough for a laptop screen; the pane columns scroll.
    minimumWidth: 1024
    minimumHeight: 640

    // The style colours only Controls; behind the views the window is dark too.
    background: Rectangle {
        color: tabBar.palette.base
    }

    menuBar: Loader {
        id: menuBarLoader
        objectName: "menuBarLoader"
    }

    function settingBool(key) {
        return Format.isTrue(VornApp.setting(key, false))
    }

    function centredX() {
        return Screen.virtualX + Math.round((Screen.width - window.minimumWidth) / 2)
    }

    function centredY() {
        return Screen.virtualY + Math.round((Screen.height - window.minimumHeight) / 2)
    }

    // Reloads the view and the menu bar for the selected object, or for the
    // background view when nothing is selected. Every selection gets a fresh
    // view, even when the previous object had a view from the same file.
    function showSelection() {
        const vornObject = VornApp.selectedVornObject
        viewLoader.source = ""
        viewLoader.source = Registry.viewFor(vornObject, VornApp.backgroundView)
        menuBarLoader.setSource(Registry.menuBarFor(vornObject), { shell: shell, vornObject: vornObject })
    }

    Component.onCompleted: {
        // The normal geometry is set even for a maximized window, so that
        // restoring it yields the stored (centred, minimum-size) window.
        window.x = VornApp.setting("window/x", centredX())
        window.y = VornApp.setting("window/y", centredY())
        window.width = VornApp.setting("window/width", window.minimumWidth)
        window.height = VornApp.setting("window/height", window.minimumHeight)
        showSelection()
        if (settingBool("window/maximized"))
            window.showMaximized()
        else
            window.show()
    }

    onClosing: {
        const maximized = window.visibility === Window.Maximized
        if (maximized || window.visibility === Window.Minimized) {
            VornApp.setSetting("window/x", centredX())
            VornApp.setSetting("window/y", centredY())
            VornApp.setSetting("window/width", window.minimumWidth)
            VornApp.setSetting("window/height", window.minimumHeight)
        } else {
            VornApp.setSetting("window/x", window.x)
            VornApp.setSetting("window/y", window.y)
            VornApp.setSetting("window/width", window.width)
            VornApp.setSetting("window/height", window.height)
        }
        VornApp.setSetting("window/maximized", maximized)
    }

    Connections {
        target: VornApp
        // Selecting another object clears the selection first; one reload is enough.
        function onSelectedVornObjectChanged() { showSelectionLater.restart() }
        function onBackgroundViewChanged() { showSelectionLater.restart() }
        function onShowMessage(msg) { shell.showMessage(msg) }
    }

    // A newer VORN on the update server is offered in a dialog of its own.
    Connections {
        target: VornApp
        function onVornUpdateAvailable(version, msg) {
            shell.open(shell.vornUpdateDialog, { version: version, msg: msg })
        }
    }

    // Shows the selection on the next turn of the event loop, once however
    // often it changed.
    Timer {
        id: showSelectionLater
        interval: 0
        onTriggered: window.showSelection()
    }

    ShellActions {
        id: shell
        objectName: "shell"
        window: window
    }

    Item {
        id: client
        anchors.fill: parent
        // Key presses that reach the window go to the loaded view.
        Keys.forwardTo: viewLoader.view && !viewLoader.view.activeFocus ? [viewLoader.view] : []

        Loader {
            id: viewLoader
            objectName: "viewLoader"
            anchors.left: parent.left
            anchors.top: parent.top
            anchors.bottom: parent.bottom
            anchors.right: tabBar.left
            focus: true
            readonly property Item view: item as Item
            onLoaded: {
                // Views that open the shell's dialogs take it.
                const objectView = item as ObjectView
                if (objectView)
                    objectView.shell = shell
                view.forceActiveFocus()
            }
        }

        VornTabBar {
            id: tabBar
            anchors.right: parent.right
            anchors.top: parent.top
            anchors.bottom: parent.bottom
            width: Theme.tabColumnWidth
            shell: shell
        }
    }
}
