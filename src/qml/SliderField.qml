import QtQuick
import QtQuick.Controls
import "Format.js" as Format

// A slider with a text field beside it for a value between `minimum` and
// `maximum`, two decimals. On a logarithmic scale the slider runs 0 … 1 and
// its position s stands for exp(ln(min) + s·(ln(max) − ln(min))); on a
// linear one it moves in steps of 0.01. The user's value comes out through
// `edited`; `value` follows the model.
Item {
    id: sliderField

    property real value: 0
    property real minimum: 0.1
    property real maximum: 10
    property bool logarithmic: false
    property alias slider: slider
    property alias field: field

    signal edited(real value)

    width: Theme.valueWidth
    height: Theme.rowHeight

    function toPosition(v) {
        if (!logarithmic)
            return v
        const lo = Math.log(minimum), hi = Math.log(maximum)
        return (Math.log(Format.clamp(v, minimum, maximum)) - lo) / (hi - lo)
    }

    function fromPosition(s) {
        if (!logarithmic)
            return s
        const lo = Math.log(minimum), hi = Math.log(maximum)
        return Math.exp(lo + s * (hi - lo))
    }

    // The value as the field shows it and the model receives it: two decimals.
    function rounded(v) {
        return Math.round(Format.clamp(v, minimum, maximum) * 100) / 100
    }

    Slider {
        id: slider
        objectName: sliderField.objectName !== "" ? sliderField.objectName + "Slider" : ""
        width: sliderField.width - field.width - Theme.spacing
        anchors.verticalCenter: parent.verticalCenter
        from: sliderField.logarithmic ? 0 : sliderField.minimum
        to: sliderField.logarithmic ? 1 : sliderField.maximum
        stepSize: 0.01
        snapMode: Slider.SnapAlways
        palette.active.button: enabled && (hovered || pressed) ? Theme.buttonHovered : Theme.palette.active.button
        onMoved: sliderField.edited(sliderField.rounded(sliderField.fromPosition(slider.value)))
    }
    // While pressed the slider follows the pointer; let go, it follows the
    // value again. Nothing is put back on the press: the slider keeps the
    // position it was pressed at.
    Binding {
        target: slider
        property: "value"
        value: sliderField.toPosition(sliderField.value)
        when: !slider.pressed
        restoreMode: Binding.RestoreNone
    }

    TextField {
        id: field
        objectName: sliderField.objectName !== "" ? sliderField.objectName + "Field" : ""
        width: 48
        height: sliderField.height
        anchors.right: parent.right
        horizontalAlignment: Text.AlignRight
        leftPadding: Theme.fieldPadding
        rightPadding: Theme.fieldPadding
        validator: DoubleValidator {
            bottom: sliderField.minimum
            top: sliderField.maximum
            decimals: 2
            notation: DoubleValidator.StandardNotation
            locale: "C"
        }
        onEditingFinished: {
            const v = Format.parseNumber(field.text)
            if (!isNaN(v))
                sliderField.edited(sliderField.rounded(v))
            field.text = Qt.binding(() => sliderField.value.toFixed(2))
        }
        text: sliderField.value.toFixed(2)
    }
}
