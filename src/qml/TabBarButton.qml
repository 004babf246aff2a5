import QtQuick
import QtQuick.Controls

// A glyph button of the tab column's top row. It never takes the keyboard focus,
// which stays with the loaded view.
ToolButton {
    id: button

    property string toolTip

    width: 32
    height: 24
    focusPolicy: Qt.NoFocus
    font.family: Theme.iconFamily
    font.pixelSize: Theme.stripIconSize
    palette.active.button: !enabled ? Theme.palette.active.button : down ? Theme.buttonPressed : hovered ? Theme.buttonHovered : Theme.palette.active.button
    padding: 0

    ToolTip.visible: button.hovered && button.toolTip !== ""
    ToolTip.text: button.toolTip
    ToolTip.delay: 500
}
