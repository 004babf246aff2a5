import QtQuick
import QtQuick.Controls
import Vorn 1.0

// A combo box over choices ({ text, value }) that shows `value` and reports
// the user's choice through `chosen`.
ComboBox {
    id: choiceBox

    property var choices: []
    property int value: 0

    signal chosen(int value)

    width: 260
    height: Theme.rowHeight
    palette.active.button: !enabled ? Theme.palette.active.button : down ? Theme.buttonPressed : hovered ? Theme.buttonHovered : Theme.palette.active.button
    model: choices
    textRole: "text"
    valueRole: "value"
    currentIndex: SaveChoices.indexOf(choices, value)
    onActivated: index => choiceBox.chosen(choices[index].value)
}
