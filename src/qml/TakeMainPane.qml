import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Format.js" as Format

// "Take": a take in camera memory, with its black reference mode (on cameras
// that have the advanced one) and its deletion.
CollapsiblePane {
    id: takeMainPane
    objectName: "takeMainPane"
    title: "Take"

    required property var take
    required property ShellActions shell

    readonly property var camera: take ? take.camera : null
    readonly property int corrMode: Format.val(take ? take.corrMode : null, 0)

    property TakeActions actions: TakeActions {
        take: takeMainPane.take
        shell: takeMainPane.shell
    }

    ValueRow { objectName: "takeIdRow"; label: "Take"; value: takeMainPane.take ? String(takeMainPane.take.takeId) : "" }
    RecordingRows {
        vornObject: takeMainPane.take
        showBlackRefMode: false
    }
    ValueRow {
        objectName: "takeBlackRefModeRow"
        label: "Black Ref Mode"
        visible: !!takeMainPane.camera
                 && (Format.val(takeMainPane.camera.featureCorrMode, 0) & Camera.CorrModeBrefAdv) !== 0
        ValueComboBox {
            objectName: "takeBlackRefModeCombo"
            list: ["Normal", "Advanced"]
            listIndex: (takeMainPane.corrMode & Camera.CorrModeBrefAdv) !== 0 ? 1 : 0
            enabled: Format.val(takeMainPane.take ? takeMainPane.take.fsyncMode : null, 0) === Camera.FsyncModeInt
            onChosen: (index, text) => {
                const mode = takeMainPane.corrMode
                takeMainPane.take.corrMode.value = index === 1 ? (mode | Camera.CorrModeBrefAdv)
                                                               : (mode & ~Camera.CorrModeBrefAdv)
            }
        }
    }
    ValueRow {
        label: ""
        VornButton {
            objectName: "deleteTakeButton"
            width: 140
            height: 26
            action: takeMainPane.actions.deleteTake
        }
    }
}
