import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// Asks for one text (a name, a count): a label above a field, "OK" and
// "Cancel". `accepted(text)` comes with "OK" or Return when the field's
// validator accepts the text.
FixedDialog {
    id: inputDialog
    objectName: "inputDialog"

    property alias label: promptLabel.text
    property alias text: inputField.text
    property alias validator: inputField.validator
    property alias acceptText: okButton.text

    signal accepted(string text)

    modality: Qt.ApplicationModal
    width: 260
    height: 120

    function accept() {
        if (!inputField.acceptableInput)
            return
        const text = inputField.text
        inputDialog.close()
        inputDialog.accepted(text)
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 6

        Label {
            id: promptLabel
            objectName: "inputLabel"
            Layout.fillWidth: true
        }
        TextField {
            id: inputField
            objectName: "inputField"
            Layout.fillWidth: true
            focus: true
            selectByMouse: true
            onAccepted: inputDialog.accept()
        }
        RowLayout {
            Layout.alignment: Qt.AlignRight
            VornButton {
                id: okButton
                objectName: "okButton"
                text: "OK"
                enabled: inputField.acceptableInput
                onClicked: inputDialog.accept()
            }
            VornButton {
                objectName: "cancelButton"
                text: "Cancel"
                onClicked: inputDialog.close()
            }
        }
    }
}
