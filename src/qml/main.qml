import QtQuick
import QtQuick.Controls
import QtQuick.Window
import Vorn 1.0
import "ViewRegistry.js" as Registry

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
        const value = vornApp.setting(key, false)
        return value === true || value === "true" || value === 1
    }

    function centredX() {
        return window.screen.virtualX + Math.round((window.screen.width - window.minimumWidth) / 2)
    }

    function centredY() {
        return window.screen.virtualY + Math.round((window.screen.height - window.minimumHeight) / 2)
    }

    // Reloads the view and the menu bar for the selected object, or for the
    // background view when nothing is selected. Every selection gets a fresh
    // view, even when the previous object had a view from the same file.
    function showSelection() {
        const vornObject = vornApp.selectedVornObject
        viewLoader.source = ""
        viewLoader.source = Registry.viewFor(vornObject, vornApp.backgroundView)
        menuBarLoader.setSource(Registry.menuBarFor(vornObject), { shell: shell, vornObject: vornObject })
    }

    Component.onCompleted: {
        // The normal geometry is set even for a maximized window, so that
        // restoring it yields the stored (centred, minimum-size) window.
        window.x = vornApp.setting("window/x", centredX())
        window.y = vornApp.setting("window/y", centredY())
        window.width = vornApp.setting("window/width", window.minimumWidth)
        window.height = vornApp.setting("window/height", window.minimumHeight)
        showSelection()
        if (settingBool("window/maximized"))
            window.showMaximized()
        else
            window.show()
    }

    onClosing: {
        const maximized = window.visibility === Window.Maximized
        if (maximized || window.visibility === Window.Minimized) {
            vornApp.setSetting("window/x", centredX())
            vornApp.setSetting("window/y", centredY())
            vornApp.setSetting("window/width", window.minimumWidth)
            vornApp.setSetting("window/height", window.minimumHeight)
        } else {
            vornApp.setSetting("window/x", window.x)
            vornApp.setSetting("window/y", window.y)
            vornApp.setSetting("window/width", window.width)
            vornApp.setSetting("window/height", window.height)
        }
        vornApp.setSetting("window/maximized", maximized)
    }

    Connections {
        target: vornApp
        // Selecting another object clears the selection first; one reload is enough.
        function onSelectedVornObjectChanged() { Qt.callLater(window.showSelection) }
        function onBackgroundViewChanged() { Qt.callLater(window.showSelection) }
        function onShowMessage(msg) { shell.showMessage(msg) }
    }

    // A newer VORN on the update server is offered in a dialog of its own.
    Connections {
        target: vornApp
        function onVornUpdateAvailable(version, msg) {
            shell.open(shell.vornUpdateDialog, { version: version, msg: msg })
        }
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
        Keys.forwardTo: viewLoader.item && !viewLoader.item.activeFocus ? [viewLoader.item] : []

        Loader {
            id: viewLoader
            objectName: "viewLoader"
            anchors.left: parent.left
            anchors.top: parent.top
            anchors.bottom: parent.bottom
            anchors.right: tabBar.left
            focus: true
            onLoaded: {
                // Views that open the shell's dialogs take it.
                if (item.shell !== undefined)
                    item.shell = shell
                item.forceActiveFocus()
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
