import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Format.js" as Format

// One timing of an I/O line: clocks of the line's clock, shown and typed in
// clocks, nanoseconds, microseconds or milliseconds (rounded to whole
// clocks); 0 reads "Disabled". The unit is kept per camera under
// <token>_<key>_units.
ValueRow {
    id: ioTimingRow

    required property Camera camera
    required property CameraIO io
    required property string key
    // The line's camera value of this timing, in clocks.
    property CameraValue timing: null
    property real maximum: 268435455

    readonly property var unitNames: ["clk", "ns", "us", "ms"]
    readonly property var unitSeconds: [0, 1e-9, 1e-6, 1e-3]
    // A row outlives its line by a moment when the camera goes.
    readonly property string token: io ? io.token : ""
    readonly property string settingKey: token + "_" + key + "_units"
    property int unit: 0

    readonly property real clocks: Format.val(timing, 0)
    readonly property real clkFreq: io ? Number(io.clkFreq) : 0

    objectName: token + "_" + key + "Row"

    Component.onCompleted: {
        const stored = Number(camera.setting(settingKey, 0))
        unit = stored >= 0 && stored < unitNames.length ? stored : 0
    }

    // Clocks in the chosen unit, as text.
    function shown() {
        if (clocks === 0)
            return "Disabled"
        if (unit === 0 || !(clkFreq > 0))
            return String(clocks)
        const v = clocks / clkFreq / unitSeconds[unit]
        return String(Math.round(v * 1000) / 1000)
    }

    function write(text) {
        const v = Format.parseNumber(text)
        if (isNaN(v) || v < 0 || (unit !== 0 && !(clkFreq > 0)))
            return
        const n = unit === 0 ? Math.round(v) : Math.round(v * unitSeconds[unit] * clkFreq)
        timing.value = Format.clamp(n, 0, maximum)
    }

    Row {
        spacing: 4
        TextField {
            id: timingField
            objectName: ioTimingRow.objectName + "Field"
            width: 78
            height: 26
            horizontalAlignment: Text.AlignRight
            text: ioTimingRow.shown()
            onActiveFocusChanged: {
                if (activeFocus && ioTimingRow.clocks === 0)
                    text = "0"
            }
            onEditingFinished: {
                ioTimingRow.write(text)
                text = Qt.binding(() => ioTimingRow.shown())
            }
        }
        ComboBox {
            objectName: ioTimingRow.objectName + "Units"
            width: 58
            height: 26
            model: ioTimingRow.unitNames
            currentIndex: ioTimingRow.unit
            onActivated: index => {
                ioTimingRow.unit = index
                ioTimingRow.camera.setSetting(ioTimingRow.settingKey, index)
            }
        }
    }
}
