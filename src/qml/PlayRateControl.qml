import QtQuick
import QtQuick.Controls
import "Format.js" as Format

// The playback rate in frames per second: typed with two decimals, or set
// with the slider in whole frames from 1 to 240.
Row {
    id: playRateControl

    required property var vornObject
    readonly property real rate: vornObject ? vornObject.playFrRate : 0

    signal editingDone()

    spacing: 6

    TextField {
        id: rateField
        objectName: "playRateField"
        width: 64
        height: Theme.rowHeight
        horizontalAlignment: Text.AlignRight
        leftPadding: Theme.fieldPadding
        rightPadding: Theme.fieldPadding
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
        color: Theme.secondaryText
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
        palette.active.button: enabled && (hovered || pressed) ? Theme.buttonHovered : Theme.palette.active.button
        onMoved: playRateControl.vornObject.playFrRate = rateSlider.value
    }
    // While pressed the slider follows the pointer, and keeps the position
    // it was pressed at; let go, it follows the rate again.
    Binding {
        target: rateSlider
        property: "value"
        value: playRateControl.rate
        when: !rateSlider.pressed
        restoreMode: Binding.RestoreNone
    }
}
