import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import QtQuick.Layouts
import "Format.js" as Format

// Uploads a Q7FW file to one camera, which then installs it: the file
// chooser, the camera's status line for the upload and installation, and
// "Start Update", offered while no upload or installation runs.
FixedDialog {
    id: firmwareUpdateDialog
    objectName: "firmwareUpdateDialog"

    required property var camera
    // The chosen Q7FW file.
    property url fileUrl
    readonly property bool hasFile: fileUrl.toString() !== ""

    // From the first byte until the camera has answered the upload, which a
    // camera that installs before answering does only after minutes.
    readonly property bool uploading: camera ? camera.fwUpdateProgress > 0 || camera.fwInstalling : false

    title: "Firmware Update"
    width: 420
    height: 200
    padding: 12

    FileDialog {
        id: fileDialog
        title: "Q7FW File"
        nameFilters: ["Q7FW files (*.q7fw)"]
        onAccepted: firmwareUpdateDialog.fileUrl = fileDialog.selectedFile
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 8

        Label {
            objectName: "fwCameraName"
            Layout.fillWidth: true
            text: firmwareUpdateDialog.camera ? Format.val(firmwareUpdateDialog.camera.name, "") : ""
            font.bold: true
            textFormat: Text.PlainText
            elide: Text.ElideRight
        }
        RowLayout {
            Layout.fillWidth: true
            Label {
                text: "Q7FW File:"
                Layout.preferredWidth: 70
            }
            TextField {
                objectName: "fwFileField"
                Layout.fillWidth: true
                readOnly: true
                text: firmwareUpdateDialog.hasFile ? vornApp.fileNameFromPath(vornApp.filePathFromUrl(firmwareUpdateDialog.fileUrl)) : ""
                placeholderText: "No file chosen"
            }
            VornButton {
                objectName: "fwBrowseButton"
                text: "Browse..."
                enabled: !firmwareUpdateDialog.uploading
                onClicked: fileDialog.open()
            }
        }
        RowLayout {
            Layout.fillWidth: true
            Label {
                text: "Status:"
                Layout.preferredWidth: 70
                Layout.alignment: Qt.AlignTop
            }
            Label {
                objectName: "fwStatusText"
                Layout.fillWidth: true
                text: firmwareUpdateDialog.camera ? firmwareUpdateDialog.camera.fwUpdateStatus : ""
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
            }
        }
        ProgressBar {
            objectName: "fwProgressBar"
            Layout.fillWidth: true
            from: 0
            to: 100
            value: firmwareUpdateDialog.camera ? firmwareUpdateDialog.camera.fwUpdateProgress : 0
            // The installation gives no progress of its own.
            indeterminate: !!firmwareUpdateDialog.camera && firmwareUpdateDialog.camera.fwInstalling
            visible: firmwareUpdateDialog.uploading
        }
        Item { Layout.fillHeight: true }
        RowLayout {
            Layout.fillWidth: true
            // Why "Start Update" cannot act yet.
            Label {
                id: fwStartHint
                objectName: "fwStartHint"
                Layout.fillWidth: true
                visible: !firmwareUpdateDialog.hasFile && !firmwareUpdateDialog.uploading
                text: "Choose a Q7FW file first."
                color: Theme.secondaryText
                elide: Text.ElideRight
            }
            Item { Layout.fillWidth: true; visible: !fwStartHint.visible }
            VornButton {
                objectName: "fwStartButton"
                text: "Start Update"
                enabled: firmwareUpdateDialog.hasFile && !!firmwareUpdateDialog.camera && !firmwareUpdateDialog.uploading
                onClicked: firmwareUpdateDialog.camera.fwUpdate(firmwareUpdateDialog.fileUrl.toString())
            }
            VornButton {
                objectName: "fwCloseButton"
                text: "Close"
                onClicked: firmwareUpdateDialog.close()
            }
        }
    }
}
