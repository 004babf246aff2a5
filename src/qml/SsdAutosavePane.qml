import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Format.js" as Format

// "SSD Autosave": how the camera saves each new take onto its SSD by itself.
CollapsiblePane {
    id: ssdAutosavePane
    objectName: "ssdAutosavePane"
    title: "SSD Autosave"

    required property var camera
    required property var dialogs

    readonly property int mode: Format.val(camera.ssdAutosaveMode, 0)
    readonly property bool selection: (mode & Camera.SsdAutosaveSelection) !== 0

    function setBit(bit, on) {
        camera.ssdAutosaveMode.value = on ? (mode | bit) : (mode & ~bit)
    }

    ValueRow {
        label: "Mode"
        ValueComboBox {
            objectName: "autosaveModeCombo"
            list: ["Disabled", "Enabled"]
            listIndex: (ssdAutosavePane.mode & Camera.SsdAutosaveEnabled) ? 1 : 0
            onChosen: (index, text) => ssdAutosavePane.setBit(Camera.SsdAutosaveEnabled, index === 1)
        }
    }
    ValueRow {
        label: "Save"
        ValueComboBox {
            objectName: "autosaveSelectionCombo"
            list: ["All Frames", "Selection"]
            listIndex: ssdAutosavePane.selection ? 1 : 0
            onChosen: (index, text) => ssdAutosavePane.setBit(Camera.SsdAutosaveSelection, index === 1)
        }
    }
    ValueRow {
        label: "Start Frame"
        visible: ssdAutosavePane.selection
        NumberField {
            objectName: "autosaveStartField"
            value: Format.val(ssdAutosavePane.camera.ssdAutosaveStart, 0)
            minimum: Format.int32Min
            maximum: Format.int32Max
            onEdited: v => ssdAutosavePane.camera.ssdAutosaveStart.value = v
        }
    }
    ValueRow {
        label: "Frame Count"
        visible: ssdAutosavePane.selection
        NumberField {
            objectName: "autosaveCountField"
            value: Format.val(ssdAutosavePane.camera.ssdAutosaveCnt, 0)
            onEdited: v => ssdAutosavePane.camera.ssdAutosaveCnt.value = v
        }
    }
    ValueRow {
        label: "After Save"
        ValueComboBox {
            objectName: "autosaveAfterCombo"
            list: ["Keep Take", "Delete Take"]
            listIndex: (ssdAutosavePane.mode & Camera.SsdAutosaveDeleteTake) ? 1 : 0
            onChosen: (index, text) => ssdAutosavePane.setBit(Camera.SsdAutosaveDeleteTake, index === 1)
        }
    }
    EditableTextRow {
        name: "autosaveName"
        label: "File Name"
        dialogs: ssdAutosavePane.dialogs
        text: Format.val(ssdAutosavePane.camera.ssdAutosaveName, "")
        prompt: "File Name:"
        onEdited: text => ssdAutosavePane.camera.ssdAutosaveName.value = text
    }
    ValueRow {
        label: "File Name Seq"
        NumberField {
            objectName: "autosaveNameSeqField"
            value: Format.val(ssdAutosavePane.camera.ssdNameSeq, 0)
            onEdited: v => ssdAutosavePane.camera.ssdNameSeq.value = v
        }
    }
}
