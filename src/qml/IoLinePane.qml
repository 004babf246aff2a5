import QtQuick
import Vorn 1.0

// One I/O line of the camera: which signal it carries, its mode and
// polarity, and its four timings (input filter, delay, minimum and maximum
// pulse width) in clocks of the line's clock, shown and typed in the unit
// chosen for each (kept per camera).
CollapsiblePane {
    id: ioLinePane
    objectName: "ioPane_" + io.token
    title: io.name

    required property Camera camera
    required property CameraIO io

    ValueRow {
        label: "Signal"
        ValueComboBox {
            objectName: ioLinePane.io.token + "SignalCombo"
            list: ioLinePane.io.signalList
            listIndex: ioLinePane.io.signalIndex
            onChosen: (index, text) => ioLinePane.io.setSignalByIndex(index)
        }
    }
    ValueRow {
        label: "Mode"
        ValueComboBox {
            objectName: ioLinePane.io.token + "ModeCombo"
            list: ioLinePane.io.modeList
            listIndex: ioLinePane.io.modeIndex
            onChosen: (index, text) => ioLinePane.io.setModeByIndex(index)
        }
    }
    ValueRow {
        label: "Polarity"
        ValueComboBox {
            objectName: ioLinePane.io.token + "PolarityCombo"
            list: ioLinePane.io.polarityList
            listIndex: ioLinePane.io.polarityIndex
            enabled: comboBox.count > 0
            onChosen: (index, text) => ioLinePane.io.setPolarityByIndex(index)
        }
    }
    IoTimingRow {
        label: "Filter"
        camera: ioLinePane.camera
        io: ioLinePane.io
        key: "filter"
        timing: ioLinePane.io.filter
        enabled: ioLinePane.io.filterEn
        maximum: 262143
    }
    IoTimingRow {
        label: "Delay"
        camera: ioLinePane.camera
        io: ioLinePane.io
        key: "delay"
        timing: ioLinePane.io.delay
        enabled: ioLinePane.io.delayEn
    }
    IoTimingRow {
        label: "Min Width"
        camera: ioLinePane.camera
        io: ioLinePane.io
        key: "min"
        timing: ioLinePane.io.min
        enabled: ioLinePane.io.minEn
    }
    IoTimingRow {
        label: "Max Width"
        camera: ioLinePane.camera
        io: ioLinePane.io
        key: "max"
        timing: ioLinePane.io.max
        enabled: ioLinePane.io.maxEn
    }
}
