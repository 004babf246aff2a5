import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// "Connect Camera": connects to a camera by its IPv4 address, or starts a scan
// of the local network for cameras.
FixedDialog {
    id: dialog
    objectName: "connectDialog"

    // False while the application cannot do it yet; the buttons stay disabled.
    property bool canConnect: true
    property bool canScan: true

    signal connectRequested(string address)
    signal scanRequested()

    // Connects when the field holds a valid address; returns whether it did.
    function tryConnect() {
        if (!addressField.acceptableInput)
            return false
        dialog.connectRequested(addressField.text)
        dialog.close()
        return true
    }

    title: "Connect Camera"
    width: 220
    height: 90

    padding: 8

    onVisibleChanged: if (visible) addressField.forceActiveFocus()

    RowLayout {
        anchors.fill: parent
        spacing: 6

        TextField {
            id: addressField
            objectName: "addressField"
            Layout.fillWidth: true
            placeholderText: "IP Address"
            // Four numbers 0 to 255 separated by dots; anything else is not typed.
            validator: RegularExpressionValidator {
                regularExpression: /^((25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])\.){3}(25[0-5]|2[0-4][0-9]|1[0-9][0-9]|[1-9]?[0-9])$/
            }
            onAccepted: dialog.tryConnect()
        }

        VornButton {
            objectName: "connectButton"
            text: "Connect"
            enabled: dialog.canConnect && addressField.acceptableInput
            onClicked: dialog.tryConnect()
        }
    }

    footer: ToolBar {
        RowLayout {
            anchors.fill: parent
            anchors.leftMargin: 8
            anchors.rightMargin: 8
            ToolButton {
                objectName: "scanButton"
                Layout.fillWidth: true
                text: "Scan for Cameras"
                enabled: dialog.canScan
                onClicked: dialog.scanRequested()
            }
        }
    }
}
