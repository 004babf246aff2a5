import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs
import QtQuick.Layouts
import "Format.js" as Format

// Uploads a Q7FW file to one camera, which then installs it: the file
// chooser, the camera's status line for the upload and installation, and
// "Start Update", offered while no upload runs.
ApplicationWindow {
    id: dialog
    objectName: "firmwareUpdateDialog"

    required property var camera
    // The chosen Q7FW file.
    property url fileUrl

    readonly property bool uploading: camera ? camera.fwUpdateProgress > 0 : false

    title: "Firmware Update"
    flags: Qt.Dialog
    width: 420
    height: 200
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height

    FileDialog {
        id: fileDialog
        title: "Q7FW File"
        nameFilters: ["Q7FW files (*.q7fw)"]
        onAccepted: dialog.fileUrl = fileDialog.selectedFile
    }

    Pane {
        anchors.fill: parent
        padding: 12

        ColumnLayout {
            anchors.fill: parent
            spacing: 8

            Label {
                objectName: "fwCameraName"
                Layout.fillWidth: true
                text: dialog.camera ? Format.val(dialog.camera.name, "") : ""
                font.bold: true
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
                    text: dialog.fileUrl.toString() !== "" ? vornApp.fileNameFromPath(vornApp.filePathFromUrl(dialog.fileUrl)) : ""
                    placeholderText: "No file chosen"
                }
                Button {
                    objectName: "fwBrowseButton"
                    text: "Browse..."
                    enabled: !dialog.uploading
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
                    text: dialog.camera ? dialog.camera.fwUpdateStatus : ""
                    wrapMode: Text.Wrap
                }
            }
            ProgressBar {
                objectName: "fwProgressBar"
                Layout.fillWidth: true
                from: 0
                to: 100
                value: dialog.camera ? dialog.camera.fwUpdateProgress : 0
                visible: dialog.uploading
            }
            Item { Layout.fillHeight: true }
            RowLayout {
                Layout.alignment: Qt.AlignRight
                Button {
                    objectName: "fwStartButton"
                    text: "Start Update"
                    enabled: dialog.fileUrl.toString() !== "" && !!dialog.camera && dialog.camera.fwUpdateProgress === 0
                    onClicked: dialog.camera.fwUpdate(dialog.fileUrl.toString())
                }
                Button {
                    objectName: "fwCloseButton"
                    text: "Close"
                    onClicked: dialog.close()
                }
            }
        }
    }
}
