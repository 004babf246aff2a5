import QtQuick
import QtQuick.Controls
import "Format.js" as Format

// A field for a whole number between `minimum` and `maximum`: it shows
// `value` while not edited; a typed number is clamped to the range and
// reported by `edited`.
TextField {
    id: numberField

    property var value: 0
    property real minimum: 0
    property real maximum: Format.uint32Max

    signal edited(real value)

    width: Theme.valueWidth
    height: Theme.rowHeight
    horizontalAlignment: Text.AlignRight
    validator: RegularExpressionValidator { regularExpression: /-?\d{0,12}/ }
    text: value === undefined ? "" : String(value)

    onEditingFinished: {
        const v = Format.parseNumber(numberField.text)
        if (!isNaN(v))
            numberField.edited(Format.clamp(Math.round(v), minimum, maximum))
        numberField.text = Qt.binding(() => numberField.value === undefined ? "" : String(numberField.value))
    }
}
