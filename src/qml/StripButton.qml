import QtQuick
import QtQuick.Controls

// A glyph button of the playback strip. It never takes the keyboard focus, so
// that Space and the arrow keys keep working the playback.
ToolButton {
    id: stripButton

    property string toolTip

    width: 30
    height: 28
    padding: 0
    focusPolicy: Qt.NoFocus
    font.family: "remixicon"
    font.pixelSize: 18
    opacity: enabled ? 1 : 0.35

    ToolTip.visible: stripButton.hovered && stripButton.toolTip !== ""
    ToolTip.text: stripButton.toolTip
    ToolTip.delay: 500
}
