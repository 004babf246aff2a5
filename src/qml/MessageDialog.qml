import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// A message for the user (an HTML string of VornApp::showMessage). Several can
// be open at once; the shell places each one.
ApplicationWindow {
    id: dialog
    objectName: "messageDialog"

    property alias text: messageText.text

    title: "VORN"
    flags: Qt.Dialog
    width: 240
    height: 120
    minimumWidth: 240
    maximumWidth: 240
    minimumHeight: 120
    maximumHeight: 120

    // A Pane, so that the dialog has the window colour of the style.
    Pane {
        anchors.fill: parent
        padding: 10

        ColumnLayout {
            anchors.fill: parent
            spacing: 6

            Label {
                id: messageText
                objectName: "messageText"
                Layout.fillWidth: true
                Layout.fillHeight: true
                font.pixelSize: 13
                lineHeight: 1.5
                wrapMode: Text.Wrap
                textFormat: Text.RichText
                verticalAlignment: Text.AlignVCenter
                horizontalAlignment: Text.AlignHCenter
            }

            VornButton {
                objectName: "okButton"
                Layout.alignment: Qt.AlignRight
                text: "OK"
                onClicked: dialog.close()
            }
        }
    }
}
