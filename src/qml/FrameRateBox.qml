import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Format.js" as Format

// The frame rate of a video file: one of the presets or a typed rate.
Item {
    id: frameRateBox

    property real value: 30
    property alias comboBox: box

    // A rate chosen or typed.
    signal edited(real value)

    width: 260
    height: 26

    function take(text) {
        const v = Format.parseNumber(text)
        if (!isNaN(v) && v > 0 && v !== frameRateBox.value)
            frameRateBox.edited(v)
        box.editText = String(frameRateBox.value)
    }

    onValueChanged: if (!box.activeFocus) box.editText = String(frameRateBox.value)

    ComboBox {
        id: box
        objectName: frameRateBox.objectName !== "" ? frameRateBox.objectName + "Box" : ""
        anchors.left: parent.left
        anchors.right: unitsLabel.left
        anchors.rightMargin: 6
        height: parent.height
        editable: true
        model: SaveChoices.frameRatePresets
        validator: DoubleValidator { bottom: 0.001; top: 100000; locale: "C" }
        Component.onCompleted: editText = String(frameRateBox.value)
        onActivated: index => frameRateBox.take(textAt(index))
        onAccepted: frameRateBox.take(editText)
        onActiveFocusChanged: if (!activeFocus) frameRateBox.take(editText)
    }
    Label {
        id: unitsLabel
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        width: Theme.unitsWidth
        text: "fps"
        color: Theme.secondaryText
    }
}
