import QtQuick
import QtQuick.Controls

// A glyph button of the playback strip. It never takes the keyboard focus, so
// that Space and the arrow keys keep working the playback. The style shows
// its frame while it is hovered, pressed or highlighted (a running playback)
// and greys its glyph out while it is disabled.
ToolButton {
    id: stripButton

    property string toolTip

    width: Theme.stripButtonWidth
    height: Theme.stripButtonHeight
    padding: 0
    focusPolicy: Qt.NoFocus
    font.family: Theme.iconFamily
    font.pixelSize: Theme.stripIconSize
    palette.active.button: !enabled || highlighted ? Theme.palette.active.button : down ? Theme.buttonPressed : hovered ? Theme.buttonHovered : Theme.palette.active.button

    ToolTip.visible: stripButton.hovered && stripButton.toolTip !== ""
    ToolTip.text: stripButton.toolTip
    ToolTip.delay: 500
}
