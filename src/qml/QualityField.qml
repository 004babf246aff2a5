import QtQuick
import QtQuick.Controls

// Encoder quality: a slider from the worst value of the codec on the left
// down to 1, the best, on the right, with the number beside it.
Item {
    id: qualityField

    property int value: 15
    property int worst: 63
    property alias slider: slider

    signal edited(int value)

    width: 260
    height: 26

    Slider {
        id: slider
        objectName: qualityField.objectName !== "" ? qualityField.objectName + "Slider" : ""
        anchors.left: parent.left
        anchors.right: valueLabel.left
        anchors.rightMargin: 6
        anchors.verticalCenter: parent.verticalCenter
        from: qualityField.worst
        to: 1
        stepSize: 1
        snapMode: Slider.SnapAlways
        value: qualityField.value
        onMoved: qualityField.edited(Math.round(slider.value))
    }
    Label {
        id: valueLabel
        objectName: qualityField.objectName !== "" ? qualityField.objectName + "Value" : ""
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        width: 28
        horizontalAlignment: Text.AlignRight
        text: String(qualityField.value)
    }
}
