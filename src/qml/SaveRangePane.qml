import QtQuick
import Vorn 1.0
import "Format.js" as Format

// Which frames of a playable object a save takes: all of them, the in to out
// point range, or a selection typed here. Every range is kept inside the
// recording and holds at least one frame (SaveChoices.normalise). The start
// and end fields show every range and take input for a selection only.
DialogSection {
    id: rangePane
    title: "Save Range"

    required property PlaybackVornObject vornObject

    readonly property int allFrames: 0
    readonly property int playbackFrames: 1
    readonly property int selection: 2
    property int mode: playbackFrames

    readonly property real firstFr: Format.val(vornObject ? vornObject.firstFr : null, 0)
    readonly property real lastFr: Format.val(vornObject ? vornObject.lastFr : null, 0)
    readonly property real totalFrCnt: Format.val(vornObject ? vornObject.frCnt : null, 0)

    property real selStart: 0
    property real selEnd: 0

    readonly property var range: {
        if (mode === allFrames)
            return SaveChoices.normalise(firstFr, lastFr, firstFr, lastFr, false)
        if (mode === selection)
            return SaveChoices.normalise(selStart, selEnd, firstFr, lastFr, false)
        return SaveChoices.normalise(vornObject ? vornObject.aFr : NaN, vornObject ? vornObject.bFr : NaN,
                                     firstFr, lastFr, false)
    }
    readonly property real startFr: range.start
    readonly property real frCnt: range.count

    // A selection starts as the range shown before.
    function choose(newMode) {
        if (newMode === selection && mode !== selection) {
            selStart = range.start
            selEnd = range.start + range.count - 1
        }
        mode = newMode
    }

    function edit(start, end, startEdited) {
        if (mode !== selection)
            return
        const r = SaveChoices.normalise(start, end, firstFr, lastFr, startEdited)
        selStart = r.start
        selEnd = r.end
    }

    ValueRow {
        label: "Save Range:"
        valueWidth: 260
        ChoiceBox {
            objectName: "saveRangeBox"
            choices: [{ text: "All frames", value: rangePane.allFrames },
                      { text: "In to Out Points", value: rangePane.playbackFrames },
                      { text: "Selection", value: rangePane.selection }]
            value: rangePane.mode
            onChosen: v => rangePane.choose(v)
        }
    }
    ValueRow {
        label: "Start Frame:"
        valueWidth: 260
        NumberField {
            objectName: "startFrameField"
            width: 140
            enabled: rangePane.mode === rangePane.selection
            minimum: -1e15
            maximum: 1e15
            value: rangePane.startFr
            onEdited: v => rangePane.edit(v, rangePane.selEnd, true)
        }
    }
    ValueRow {
        label: "End Frame:"
        valueWidth: 260
        NumberField {
            objectName: "endFrameField"
            width: 140
            enabled: rangePane.mode === rangePane.selection
            minimum: -1e15
            maximum: 1e15
            value: rangePane.startFr + rangePane.frCnt - 1
            onEdited: v => rangePane.edit(rangePane.selStart, v, false)
        }
    }
    ValueRow {
        objectName: "frameCountRow"
        label: "Frame Count:"
        valueWidth: 260
        value: rangePane.frCnt + "  of  " + rangePane.totalFrCnt
    }
}
