import QtQuick
import QtQuick.Controls
import "Format.js" as Format

// A field for a whole number between `minimum` and `maximum`: it shows
// `value` while not edited; a typed number is clamped to the range and
// reported by `edited`.
TextField {
    id: field

    property var value: 0
    property real minimum: 0
    property real maximum: Format.uint32Max

    signal edited(real value)

    width: 140
    height: 26
    horizontalAlignment: Text.AlignRight
    validator: RegularExpressionValidator { regularExpression: /-?\d{0,12}/ }
    text: value === undefined ? "" : String(value)

    onEditingFinished: {
        const v = Format.parseNumber(field.text)
        if (!isNaN(v))
            field.edited(Format.clamp(Math.round(v), minimum, maximum))
        field.text = Qt.binding(() => field.value === undefined ? "" : String(field.value))
    }
}
