import QtQuick
import Vorn 1.0
import "Format.js" as Format

// The rows every main pane of a recording shows: its geometry and timing,
// the trigger's time stamp (when the recording has one) and, unless the pane
// lets the user choose it, the black reference mode.
Column {
    id: recordingRows

    required property PlaybackVornObject vornObject
    property bool showBlackRefMode: true

    readonly property real trigTsS: Format.val(vornObject ? vornObject.trigTsS : null, 0)
    readonly property real trigTsNs: Format.val(vornObject ? vornObject.trigTsNs : null, 0)
    readonly property int corrMode: Format.val(vornObject ? vornObject.corrMode : null, 0)

    function value(name, fallback) {
        return Format.val(vornObject ? vornObject[name] : null, fallback)
    }

    width: Theme.paneWidth
    spacing: 3

    ValueRow { objectName: "resolutionRow"; label: "Resolution"; value: recordingRows.value("res", "") }
    ValueRow {
        objectName: "frameRateRow"
        label: "Frame Rate"
        value: VornApp.frameRateText(recordingRows.value("frRate", 0)) + " fps"
    }
    ValueRow {
        objectName: "exposureTimeRow"
        label: "Exposure Time"
        value: Number(recordingRows.value("expTime", 0)).toFixed(2) + " \u00B5s"
    }
    ValueRow {
        objectName: "frameSyncModeRow"
        label: "Frame Sync Mode"
        value: recordingRows.value("fsyncMode", 0) === 0 ? "Internal" : "External"
    }
    ValueRow {
        objectName: "triggerTimestampRow"
        label: "Trigger Timestamp"
        visible: recordingRows.trigTsS > 0
        value: visible ? VornApp.timestampDateString(recordingRows.trigTsS, recordingRows.trigTsNs) + "\n"
                         + VornApp.timestampTimeUsString(recordingRows.trigTsS, recordingRows.trigTsNs)
                       : ""
    }
    ValueRow {
        objectName: "blackRefModeRow"
        label: "Black Ref Mode"
        visible: recordingRows.showBlackRefMode
        value: (recordingRows.corrMode & Camera.CorrModeBrefAdv) !== 0 ? "Advanced" : "Normal"
    }
}
