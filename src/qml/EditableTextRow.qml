import QtQuick
import QtQuick.Controls

// A pane row whose value is edited in a dialog: the text and an "Edit"
// button that asks for a new one. `edited(text)` comes when the user
// accepts the dialog. The text item is named `name` + "Text", the button
// `name` + "Edit".
ValueRow {
    id: editableTextRow

    // What opens the dialog (ShellActions).
    required property var dialogs
    property string name
    property string text
    // The dialog's prompt ("Camera Name:") and its field's validator.
    property string prompt
    property var validator: null
    // Whether the button can act.
    property bool editable: true

    signal edited(string text)

    Row {
        spacing: Theme.spacing
        Label {
            objectName: editableTextRow.name + "Text"
            width: editableTextRow.valueWidth - editButton.width - parent.spacing
            anchors.verticalCenter: parent.verticalCenter
            text: editableTextRow.text
            textFormat: Text.PlainText
            elide: Text.ElideRight
        }
        VornButton {
            id: editButton
            objectName: editableTextRow.name + "Edit"
            width: 40
            height: 24
            text: "Edit"
            enabled: editableTextRow.editable
            onClicked: {
                const properties = { label: editableTextRow.prompt, text: editableTextRow.text }
                if (editableTextRow.validator)
                    properties.validator = editableTextRow.validator
                editableTextRow.dialogs.ask(properties, text => editableTextRow.edited(text))
            }
        }
    }
}
