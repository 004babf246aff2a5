import QtQuick
import QtQuick.Controls
import Vorn 1.0

// The window-wide commands that every menu bar offers, and the one way the
// program's dialog windows open (open/present).
Item {
    id: shell
    visible: false

    // Parent of the dialogs, which open over its middle.
    required property ApplicationWindow window

    // Message dialogs still open, oldest first; each new one opens 30 pixels
    // right of and below the last of them.
    property var messageDialogs: []

    readonly property alias connectDialog: connectDialog
    readonly property alias openVornFileDialog: openVornFileDialog

    property Action connectCamera: Action {
        text: "Connect Camera..."
        onTriggered: shell.present(connectDialog)
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
    property Action reviewSideBySide: Action {
        text: "Review Side by Side..."
        shortcut: "Ctrl+Shift+V"
        onTriggered: shell.open(shell.reviewDialog)
    }
    property Action reviewNewestTakes: Action {
        text: "Review Newest Takes"
        shortcut: "Ctrl+Shift+N"
        onTriggered: VornApp.reviewNewestTakes()
    }
    // Every connected camera at once; a camera that does not follow is named
    // in one message when all have answered.
    property Action recordAll: Action {
        text: "Record All"
        shortcut: "Ctrl+Shift+R"
        enabled: VornApp.rig.canRecord
        onTriggered: VornApp.rig.recordAll()
    }
    property Action triggerAll: Action {
        text: "Trigger All"
        shortcut: "Ctrl+Shift+T"
        enabled: VornApp.rig.canTrigger
        onTriggered: VornApp.rig.triggerAll()
    }
    property Action abortAll: Action {
        text: "Abort All"
        shortcut: "Ctrl+Shift+A"
        enabled: VornApp.rig.canAbort
        onTriggered: VornApp.rig.abortAll()
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

    // Dialog windows the shell opened that are still open, oldest first.
    property var openDialogs: []

    // Places a dialog window over the middle of the main window, or 30 pixels
    // right of and below `after`. While another open dialog has exactly that
    // place, it moves on by 30 pixels, so no dialog hides one beneath it.
    // Then it shows the dialog and gives it the focus.
    function present(dialog, after) {
        const w = shell.window
        let x = after ? after.x + 30 : w.x + Math.round((w.width - dialog.width) / 2)
        // A dialog taller than the window keeps its title bar on the screen.
        let y = Math.max(after ? after.y + 30 : w.y + Math.round((w.height - dialog.height) / 2),
                         w.screen ? w.screen.virtualY : 0)
        const others = openDialogs.filter(d => d !== dialog && d.visible)
        while (others.some(d => d.x === x && d.y === y)) {
            x += 30
            y += 30
        }
        dialog.x = x
        dialog.y = y
        dialog.show()
        dialog.requestActivate()
        return dialog
    }

    // The one way a dialog window opens: made from `component` with
    // `properties`, presented as above, and destroyed when it closes.
    function open(component, properties, after) {
        const dialog = component.createObject(shell.window, properties || {})
        if (!dialog) {
            console.error("can't create dialog", component.errorString())
            return null
        }
        openDialogs = openDialogs.concat([dialog])
        dialog.closing.connect(function() {
            openDialogs = openDialogs.filter(d => d !== dialog)
            dialog.destroy()
        })
        return present(dialog, after)
    }

    // A message dialog for `msg`: the first centred, each further one 30
    // pixels right of and below the last one still open.
    function showMessage(msg) {
        const last = messageDialogs.length > 0 ? messageDialogs[messageDialogs.length - 1] : null
        const dialog = open(messageDialogComponent, { text: msg }, last)
        messageDialogs = messageDialogs.concat([dialog])
        dialog.closing.connect(function() { messageDialogs = messageDialogs.filter(d => d !== dialog) })
        return dialog
    }

    // Asks `question`; calls `onAccepted` when the user confirms with `acceptText`.
    function confirm(question, acceptText, onAccepted) {
        const dialog = open(confirmDialogComponent, { text: question, acceptText: acceptText })
        dialog.accepted.connect(onAccepted)
        return dialog
    }

    // Asks for one text (label, text, validator, acceptText in `properties`);
    // calls `onAccepted(text)` on "OK".
    function ask(properties, onAccepted) {
        const dialog = open(inputDialogComponent, properties)
        dialog.accepted.connect(onAccepted)
        return dialog
    }

    // The dialogs that menus, tabs and panes open.
    readonly property Component saveDialog: Component { SaveDialog {} }
    readonly property Component batchSaveDialog: Component { BatchSaveDialog {} }
    readonly property Component ssdOpenDialog: Component { SsdOpenDialog {} }
    readonly property Component firmwareUpdateDialog: Component { FirmwareUpdateDialog {} }
    readonly property Component cameraFwUpdateDialog: Component { CameraFwUpdateDialog {} }
    readonly property Component vornUpdateDialog: Component { VornUpdateDialog {} }
    readonly property Component reviewDialog: Component { ReviewDialog {} }
    readonly property Component copySettingsDialog: Component { CopySettingsDialog {} }

    Connections {
        target: VornApp.rig
        function onFinished(message) {
            if (message !== "")
                shell.showMessage(message)
        }
        function onCopyFinished(message) { shell.showMessage(message) }
    }

    Component {
        id: messageDialogComponent
        MessageDialog {}
    }

    Component {
        id: confirmDialogComponent
        ConfirmDialog {}
    }

    Component {
        id: inputDialogComponent
        InputDialog {}
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
                shell.open(shell.batchSaveDialog)
        }
    }
}
