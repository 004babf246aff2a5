import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Format.js" as Format

// The playback rate in frames per second: typed with two decimals, or set
// with the slider in whole frames from 1 to 240.
Row {
    id: playRateControl

    required property PlaybackVornObject vornObject
    readonly property real rate: vornObject ? vornObject.playFrRate : 0

    signal editingDone()

    spacing: 6

    TextField {
        id: rateField
        objectName: "playRateField"
        width: 64
        height: 26
        horizontalAlignment: Text.AlignRight
        leftPadding: 4
        rightPadding: 4
        enabled: !!playRateControl.vornObject
        validator: DoubleValidator {
            bottom: 0.1
            top: 10000000
            decimals: 2
            notation: DoubleValidator.StandardNotation
            locale: "C"
        }
        text: playRateControl.rate.toFixed(2)
        onEditingFinished: {
            const v = Format.parseNumber(rateField.text)
            if (!isNaN(v))
                playRateControl.vornObject.playFrRate = Math.round(v * 100) / 100
            rateField.text = Qt.binding(() => playRateControl.rate.toFixed(2))
            if (rateField.activeFocus)
                playRateControl.editingDone()
        }
    }
    Label {
        anchors.verticalCenter: parent.verticalCenter
        text: "fps"
        color: "#a0a0a0"
    }
    Slider {
        id: rateSlider
        objectName: "playRateSlider"
        width: 100
        anchors.verticalCenter: parent.verticalCenter
        from: 1
        to: 240
        stepSize: 1
        snapMode: Slider.SnapAlways
        focusPolicy: Qt.NoFocus
        enabled: !!playRateControl.vornObject
        onMoved: playRateControl.vornObject.playFrRate = rateSlider.value
    }
    Binding {
        target: rateSlider
        property: "value"
        value: playRateControl.rate
        when: !rateSlider.pressed
    }
}
