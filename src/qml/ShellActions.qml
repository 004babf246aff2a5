import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "ViewRegistry.js" as Registry

// The window-wide commands that every menu bar offers, and the dialogs they
// open.
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
        onTriggered: {
            shell.centreOnWindow(connectDialog)
            connectDialog.show()
            connectDialog.requestActivate()
        }
    }
    property Action openVornFile: Action {
        text: "Open VORN File..."
        onTriggered: openVornFileDialog.openInLastFolder()
    }
    property Action batchSaveVornFiles: Action {
        text: "Batch Save VORN Files..."
        onTriggered: batchOpenDialog.openInLastFolder()
    }
    property Action closeAllVornFiles: Action {
        text: "Close All VORN Files"
        enabled: VornApp.openVornFiles.count > 0
        onTriggered: VornApp.closeAllVornFiles()
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
        onTriggered: VornApp.setNullVornObject(VornApp.SaveProgress)
    }
    property Action checkForUpdates: Action {
        text: "Check for Updates..."
        onTriggered: VornApp.updateCheck(true)
    }
    property Action about: Action {
        text: "About VORN"
        onTriggered: VornApp.setNullVornObject(VornApp.Empty)
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

    // Opens a dialog by its name in the view registry (a window that the shell
    // shows and destroys when it closes).
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
        onConnectRequested: address => VornApp.connectCamera(address)
        onScanRequested: VornApp.startBroadcast()
    }

    OpenVornFileDialog {
        id: openVornFileDialog
        onFilesChosen: fileUrls => {
            for (const url of fileUrls)
                VornApp.openVornFile(String(url))
        }
    }

    OpenVornFileDialog {
        id: batchOpenDialog
        objectName: "batchOpenDialog"
        title: "Batch Save VORN Files"
        onFilesChosen: fileUrls => {
            // (the list is emptied whenever a batch dialog closes)
            for (const url of fileUrls)
                VornApp.openVornFileForSaveBatch(String(url))
            if (VornApp.saveBatchObjModel.count > 0)
                shell.openDialog("batchSave")
        }
    }
}
