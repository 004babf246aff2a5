import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import QtQuick.Window

// A message for the user (an HTML string of VornApp::showMessage). It is as
// wide as a short message needs, wraps a longer one at a readable width and
// grows with it; a text taller than most of the screen scrolls. Several can
// be open at once; the shell places each one.
FixedDialog {
    id: dialog
    objectName: "messageDialog"

    property alias text: messageText.text

    readonly property int minimumTextWidth: 260
    readonly property int maximumTextWidth: 460
    readonly property real maximumBodyHeight: Math.max(120, Screen.desktopAvailableHeight * 0.7)

    width: Math.ceil(Math.min(maximumTextWidth, Math.max(minimumTextWidth, messageText.implicitWidth))) + 2 * padding
    height: Math.max(120, Math.ceil(Math.min(maximumBodyHeight, messageText.implicitHeight)) + okButton.implicitHeight
                     + body.spacing + 2 * padding)

    ColumnLayout {
        id: body
        anchors.fill: parent
        spacing: 10

        ScrollView {
            id: scroll
            Layout.fillWidth: true
            Layout.fillHeight: true
            contentWidth: messageText.width
            ScrollBar.horizontal.policy: ScrollBar.AlwaysOff

            Label {
                id: messageText
                objectName: "messageText"
                // The dialog's width, not the layout's: the height it needs is
                // known when the shell places the dialog, before any layout.
                width: dialog.width - 2 * dialog.padding
                // A short message stands in the middle of the room above "OK".
                height: Math.max(implicitHeight, scroll.availableHeight)
                font.pixelSize: 13
                lineHeight: 1.5
                wrapMode: Text.Wrap
                textFormat: Text.RichText
                verticalAlignment: Text.AlignVCenter
                horizontalAlignment: Text.AlignHCenter
            }
        }

        VornButton {
            id: okButton
            objectName: "okButton"
            Layout.alignment: Qt.AlignRight
            text: "OK"
            focus: true
            onClicked: dialog.close()
        }
    }
}
