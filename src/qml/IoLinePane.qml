import QtQuick
import Vorn 1.0

// One I/O line of the camera: which signal it carries, its mode and
// polarity, and its four timings (input filter, delay, minimum and maximum
// pulse width) in clocks of the line's clock, shown and typed in the unit
// chosen for each (kept per camera).
CollapsiblePane {
    id: ioLinePane
    // A pane outlives its line by a moment when the camera goes.
    readonly property string token: io ? io.token : ""
    objectName: "ioPane_" + token
    title: io ? io.name : ""

    required property Camera camera
    required property CameraIO io

    ValueRow {
        label: "Signal"
        ValueComboBox {
            objectName: ioLinePane.token + "SignalCombo"
            list: ioLinePane.io ? ioLinePane.io.signalList : null
            listIndex: ioLinePane.io ? ioLinePane.io.signalIndex : -1
            onChosen: (index, text) => ioLinePane.io.setSignalByIndex(index)
        }
    }
    ValueRow {
        label: "Mode"
        ValueComboBox {
            objectName: ioLinePane.token + "ModeCombo"
            list: ioLinePane.io ? ioLinePane.io.modeList : null
            listIndex: ioLinePane.io ? ioLinePane.io.modeIndex : -1
            onChosen: (index, text) => ioLinePane.io.setModeByIndex(index)
        }
    }
    ValueRow {
        label: "Polarity"
        ValueComboBox {
            objectName: ioLinePane.token + "PolarityCombo"
            list: ioLinePane.io ? ioLinePane.io.polarityList : null
            listIndex: ioLinePane.io ? ioLinePane.io.polarityIndex : -1
            enabled: comboBox.count > 0
            onChosen: (index, text) => ioLinePane.io.setPolarityByIndex(index)
        }
    }
    IoTimingRow {
        label: "Filter"
        camera: ioLinePane.camera
        io: ioLinePane.io
        key: "filter"
        timing: ioLinePane.io ? ioLinePane.io.filter : null
        enabled: ioLinePane.io ? ioLinePane.io.filterEn : false
        maximum: 262143
    }
    IoTimingRow {
        label: "Delay"
        camera: ioLinePane.camera
        io: ioLinePane.io
        key: "delay"
        timing: ioLinePane.io ? ioLinePane.io.delay : null
        enabled: ioLinePane.io ? ioLinePane.io.delayEn : false
    }
    IoTimingRow {
        label: "Min Width"
        camera: ioLinePane.camera
        io: ioLinePane.io
        key: "min"
        timing: ioLinePane.io ? ioLinePane.io.min : null
        enabled: ioLinePane.io ? ioLinePane.io.minEn : false
    }
    IoTimingRow {
        label: "Max Width"
        camera: ioLinePane.camera
        io: ioLinePane.io
        key: "max"
        timing: ioLinePane.io ? ioLinePane.io.max : null
        enabled: ioLinePane.io ? ioLinePane.io.maxEn : false
    }
}
