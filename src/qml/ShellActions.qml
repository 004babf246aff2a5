import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Capabilities.js" as Capabilities
import "ViewRegistry.js" as Registry

// The window-wide commands that every menu bar offers, and the dialogs they
// open. Commands whose application method does not exist yet stay disabled.
Item {
    id: shell
    visible: false

    // Parent and anchor of the message dialogs.
    required property ApplicationWindow window

    // Message dialogs still open, oldest first; each new one opens 30 pixels
    // right of and below the last of them.
    property var messageDialogs: []

    readonly property alias connectDialog: connectDialog
    readonly property alias openVornFileDialog: openVornFileDialog

    property Action connectCamera: Action {
        text: "Connect Camera..."
        enabled: Capabilities.has(vornApp, "connectCamera")
        onTriggered: {
            shell.centreOnWindow(connectDialog)
            connectDialog.show()
            connectDialog.requestActivate()
        }
    }
    property Action openVornFile: Action {
        text: "Open VORN File..."
        enabled: Capabilities.has(vornApp, "openVornFile")
        onTriggered: openVornFileDialog.openInLastFolder()
    }
    property Action batchSaveVornFiles: Action {
        text: "Batch Save VORN Files..."
        enabled: Capabilities.has(vornApp, "openVornFileForSaveBatch") && Registry.hasDialog("batchSave")
        onTriggered: batchOpenDialog.openInLastFolder()
    }
    property Action closeAllVornFiles: Action {
        text: "Close All VORN Files"
        enabled: vornApp.openVornFiles.count > 0 && Capabilities.has(vornApp, "closeAllVornFiles")
        onTriggered: vornApp.closeAllVornFiles()
    }
    property Action exit: Action {
        text: "Exit"
        // Closing the window first stores its geometry, as closing it by hand does.
        onTriggered: {
            shell.window.close()
            Qt.quit()
        }
    }
    property Action saveProgress: Action {
        text: "Save Progress"
        onTriggered: vornApp.setNullVornObject(VornApp.SaveProgress)
    }
    property Action checkForUpdates: Action {
        text: "Check for Updates..."
        enabled: Capabilities.has(vornApp, "updateCheck")
        onTriggered: vornApp.updateCheck(true)
    }
    property Action about: Action {
        text: "About VORN"
        onTriggered: vornApp.setNullVornObject(VornApp.Empty)
    }

    function centreOnWindow(dialog) {
        dialog.x = shell.window.x + Math.round((shell.window.width - dialog.width) / 2)
        dialog.y = shell.window.y + Math.round((shell.window.height - dialog.height) / 2)
    }

    function showMessage(msg) {
        const dialog = messageDialogComponent.createObject(shell.window, { text: msg })
        const last = messageDialogs.length > 0 ? messageDialogs[messageDialogs.length - 1] : null
        if (last) {
            dialog.x = last.x + 30
            dialog.y = last.y + 30
        } else {
            shell.centreOnWindow(dialog)
        }
        messageDialogs = messageDialogs.concat([dialog])
        dialog.closing.connect(function() {
            messageDialogs = messageDialogs.filter(d => d !== dialog)
            dialog.destroy()
        })
        dialog.show()
        return dialog
    }

    // Asks `question`; calls `onAccepted` when the user confirms with `acceptText`.
    function confirm(question, acceptText, onAccepted) {
        const dialog = confirmDialogComponent.createObject(shell.window,
                                                           { text: question, acceptText: acceptText })
        shell.centreOnWindow(dialog)
        dialog.accepted.connect(onAccepted)
        dialog.closing.connect(function() { dialog.destroy() })
        dialog.show()
        return dialog
    }

    // Opens a dialog of a later subsystem by its name in the view registry
    // (a window that the shell shows and destroys when it closes).
    function openDialog(name, properties) {
        const component = Qt.createComponent(Registry.dialogs[name])
        if (component.status !== Component.Ready) {
            console.error("can't create dialog", name, component.errorString())
            return null
        }
        const dialog = component.createObject(shell.window, properties || {})
        dialog.closing.connect(function() { dialog.destroy() })
        dialog.show()
        return dialog
    }

    Component {
        id: messageDialogComponent
        MessageDialog {}
    }

    Component {
        id: confirmDialogComponent
        ConfirmDialog {}
    }

    ConnectDialog {
        id: connectDialog
        canConnect: Capabilities.has(vornApp, "connectCamera")
        canScan: Capabilities.has(vornApp, "startBroadcast")
        onConnectRequested: address => {
            if (Capabilities.has(vornApp, "connectCamera"))
                vornApp.connectCamera(address)
        }
        onScanRequested: {
            if (Capabilities.has(vornApp, "startBroadcast"))
                vornApp.startBroadcast()
        }
    }

    OpenVornFileDialog {
        id: openVornFileDialog
        onFilesChosen: fileUrls => {
            for (const url of fileUrls)
                vornApp.openVornFile(url.toString())
        }
    }

    OpenVornFileDialog {
        id: batchOpenDialog
        objectName: "batchOpenDialog"
        title: "Batch Save VORN Files"
        onFilesChosen: fileUrls => {
            // (the list is emptied whenever a batch dialog closes)
            for (const url of fileUrls)
                vornApp.openVornFileForSaveBatch(url.toString())
            if (vornApp.saveBatchObjModel.count > 0)
                shell.openDialog("batchSave")
        }
    }
}
