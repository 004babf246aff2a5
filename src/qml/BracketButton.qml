import QtQuick
import QtQuick.Controls

// "[" or "]" of the playback strip: a click sets the in or out point to the
// shown frame; held down it offers "Reset" to the recording's first or last
// frame. It is white while the point is at that frame, highlighted otherwise;
// the palette greys it out while it is disabled.
ToolButton {
    id: bracketButton

    property bool atLimit: true
    property string toolTip

    signal resetChosen()

    width: 22
    height: 26
    padding: 0
    focusPolicy: Qt.NoFocus
    palette.active.button: !enabled ? Theme.palette.active.button : down ? Theme.buttonPressed : hovered ? Theme.buttonHovered : Theme.palette.active.button

    contentItem: Label {
        objectName: bracketButton.objectName !== "" ? bracketButton.objectName + "Label" : ""
        text: bracketButton.text
        font.pixelSize: 18
        font.bold: true
        color: bracketButton.atLimit ? bracketButton.palette.buttonText : bracketButton.palette.highlight
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
    }

    onPressAndHold: resetMenu.popup()

    ToolTip.visible: bracketButton.hovered && bracketButton.toolTip !== "" && !resetMenu.visible
    ToolTip.text: bracketButton.toolTip
    ToolTip.delay: 500

    Menu {
        id: resetMenu
        objectName: bracketButton.objectName !== "" ? bracketButton.objectName + "Menu" : ""
        MenuItem {
            text: "Reset"
            onTriggered: bracketButton.resetChosen()
        }
    }
}
