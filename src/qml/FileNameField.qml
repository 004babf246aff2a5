import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Glyphs.js" as Glyphs

// The name template of a save: a text field, a menu that inserts the tags
// the save expands (<name>, <fr>, <seq>) at the cursor, and a button that
// puts in the current date and time.
Item {
    id: fileNameField

    property alias text: field.text
    property alias field: field

    width: 260
    height: 26

    function insertTag(tag) {
        const at = field.cursorPosition
        field.insert(at, tag)
        field.cursorPosition = at + tag.length
        field.forceActiveFocus()
    }

    TextField {
        id: field
        objectName: fileNameField.objectName !== "" ? fileNameField.objectName + "Text" : ""
        anchors.left: parent.left
        anchors.right: insertButton.left
        anchors.rightMargin: 2
        height: parent.height
        selectByMouse: true
    }
    ToolButton {
        id: insertButton
        objectName: fileNameField.objectName !== "" ? fileNameField.objectName + "Insert" : ""
        anchors.right: resetButton.left
        width: 26
        height: parent.height
        padding: 0
        focusPolicy: Qt.NoFocus
        font.family: "remixicon"
        font.pixelSize: 16
        text: Glyphs.addFill
        ToolTip.visible: hovered
        ToolTip.text: "Insert"
        ToolTip.delay: 500
        onClicked: insertMenu.popup(insertButton, 0, insertButton.height)
    }
    ToolButton {
        id: resetButton
        objectName: fileNameField.objectName !== "" ? fileNameField.objectName + "Reset" : ""
        anchors.right: parent.right
        width: 26
        height: parent.height
        padding: 0
        focusPolicy: Qt.NoFocus
        font.family: "remixicon"
        font.pixelSize: 16
        text: Glyphs.loopRightLine
        ToolTip.visible: hovered
        ToolTip.text: "Current Date and Time"
        ToolTip.delay: 500
        onClicked: field.text = VornApp.currentDateTime()
    }
    Menu {
        id: insertMenu
        objectName: fileNameField.objectName !== "" ? fileNameField.objectName + "Menu" : ""
        delegate: VornMenuItem {}
        MenuItem { text: "Name"; onTriggered: fileNameField.insertTag("<name>") }
        MenuItem { text: "Frame Number"; onTriggered: fileNameField.insertTag("<fr>") }
        MenuItem { text: "Sequence Number"; onTriggered: fileNameField.insertTag("<seq>") }
    }
}
