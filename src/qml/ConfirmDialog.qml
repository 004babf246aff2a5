import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// Asks before something that cannot be undone (deleting takes).
FixedDialog {
    id: dialog
    objectName: "confirmDialog"

    property alias text: questionText.text
    property alias acceptText: acceptButton.text

    signal accepted()

    modality: Qt.ApplicationModal
    width: 260
    height: 120

    ColumnLayout {
        anchors.fill: parent
        spacing: 6

        Label {
            id: questionText
            Layout.fillWidth: true
            Layout.fillHeight: true
            font.pixelSize: 13
            lineHeight: 1.5
            wrapMode: Text.Wrap
            textFormat: Text.RichText
            verticalAlignment: Text.AlignVCenter
            horizontalAlignment: Text.AlignHCenter
        }

        RowLayout {
            Layout.alignment: Qt.AlignRight
            VornButton {
                id: acceptButton
                objectName: "acceptButton"
                onClicked: {
                    dialog.close()
                    dialog.accepted()
                }
            }
            VornButton {
                objectName: "cancelButton"
                text: "Cancel"
                onClicked: dialog.close()
            }
        }
    }
}
