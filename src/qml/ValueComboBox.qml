import QtQuick
import QtQuick.Controls

// A combo box over a list of choices (a string list model or an array)
// that shows the entry at `listIndex`, the camera's current value. A choice
// or, when editable, a typed text is reported by `chosen`; the box then goes
// back to `listIndex` until the camera reports the new value.
Item {
    id: root

    property var list: null
    property int listIndex: -1
    property bool editable: false
    property string units
    property var validator: null
    property alias comboBox: box

    signal chosen(int index, string text)

    width: 140
    height: 26

    function resync() {
        box.currentIndex = root.listIndex
        if (box.editable)
            box.editText = root.listIndex >= 0 ? box.textAt(root.listIndex) : ""
    }

    onListIndexChanged: resync()
    onListChanged: Qt.callLater(resync)

    // A list model refilled in place keeps its index: show it again.
    Connections {
        target: root.list && root.list.rowCount !== undefined ? root.list : null
        function onModelReset() { Qt.callLater(root.resync) }
    }

    ComboBox {
        id: box
        objectName: root.objectName !== "" ? root.objectName + "Box" : ""
        width: root.units !== "" ? root.width - unitsLabel.width - 4 : root.width
        height: root.height
        model: root.list
        textRole: root.list && root.list.rowCount !== undefined ? "display" : ""
        editable: root.editable
        validator: root.validator
        currentIndex: root.listIndex
        Component.onCompleted: root.resync()

        onActivated: index => {
            root.chosen(index, box.textAt(index))
            Qt.callLater(root.resync)
        }
        onAccepted: {
            root.chosen(-1, box.editText)
            Qt.callLater(root.resync)
        }
        onActiveFocusChanged: if (!activeFocus) Qt.callLater(root.resync)
    }
    Label {
        id: unitsLabel
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        visible: root.units !== ""
        text: root.units
        width: visible ? Math.max(implicitWidth, 28) : 0
        horizontalAlignment: Text.AlignRight
        color: "#a0a0a0"
    }
}
