import QtQuick
import QtQuick.Controls

// A combo box over a list of choices (a string list model or an array)
// that shows the entry at `listIndex`, the camera's current value. A choice
// or, when editable, a typed text is reported by `chosen`; the box then goes
// back to `listIndex` until the camera reports the new value.
Item {
    id: valueComboBox

    property var list: null
    property int listIndex: -1
    property bool editable: false
    property string units
    property var validator: null
    property alias comboBox: box

    signal chosen(int index, string text)

    width: Theme.valueWidth
    height: Theme.rowHeight

    function resync() {
        box.currentIndex = valueComboBox.listIndex
        if (box.editable)
            box.editText = valueComboBox.listIndex >= 0 ? box.textAt(valueComboBox.listIndex) : ""
    }

    onListIndexChanged: resync()
    onListChanged: Qt.callLater(resync)

    // A list model refilled in place keeps its index: show it again.
    Connections {
        target: valueComboBox.list && valueComboBox.list.rowCount !== undefined ? valueComboBox.list : null
        function onModelReset() { Qt.callLater(valueComboBox.resync) }
    }

    ComboBox {
        id: box
        objectName: valueComboBox.objectName !== "" ? valueComboBox.objectName + "Box" : ""
        width: valueComboBox.units !== "" ? valueComboBox.width - unitsLabel.width - Theme.spacing : valueComboBox.width
        height: valueComboBox.height
        model: valueComboBox.list
        textRole: valueComboBox.list && valueComboBox.list.rowCount !== undefined ? "display" : ""
        editable: valueComboBox.editable
        validator: valueComboBox.validator
        currentIndex: valueComboBox.listIndex
        palette.active.button: !enabled ? Theme.palette.active.button : down ? Theme.buttonPressed : hovered ? Theme.buttonHovered : Theme.palette.active.button
        Component.onCompleted: valueComboBox.resync()

        // The style's entry, with its text shown as it is: the choices may be
        // the camera's own texts (resolutions, video formats).
        delegate: MenuItem {
            id: choice
            width: ListView.view.width
            text: box.textRole ? (Array.isArray(box.model) ? modelData[box.textRole] : model[box.textRole]) : modelData
            font.weight: box.currentIndex === index ? Font.DemiBold : Font.Normal
            highlighted: box.highlightedIndex === index
            hoverEnabled: box.hoverEnabled
            contentItem: Text {
                text: choice.text
                textFormat: Text.PlainText
                font: choice.font
                color: choice.highlighted ? choice.palette.highlightedText : choice.palette.text
                elide: Text.ElideRight
                verticalAlignment: Text.AlignVCenter
            }
        }

        onActivated: index => {
            valueComboBox.chosen(index, box.textAt(index))
            Qt.callLater(valueComboBox.resync)
        }
        onAccepted: {
            valueComboBox.chosen(-1, box.editText)
            Qt.callLater(valueComboBox.resync)
        }
        onActiveFocusChanged: if (!activeFocus) Qt.callLater(valueComboBox.resync)
    }
    Label {
        id: unitsLabel
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        visible: valueComboBox.units !== ""
        text: valueComboBox.units
        width: visible ? Math.max(implicitWidth, Theme.unitsWidth) : 0
        horizontalAlignment: Text.AlignRight
        color: Theme.secondaryText
    }
}
