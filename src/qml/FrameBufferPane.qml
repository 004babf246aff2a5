import QtQuick
import QtQuick.Controls
import "Format.js" as Format

// "Frame Buffer": where the trigger falls in the partition. With P frames
// per partition and a trigger offset T, T ≤ P records P − T frames before
// the trigger ("Pre-Trigger"); T > P starts recording T − P frames after it
// ("Delay"). The slider shows the pre-trigger share of the partition, or
// the delay's share of the time from trigger to the last frame.
CollapsiblePane {
    id: frameBufferPane
    objectName: "frameBufferPane"
    title: "Frame Buffer"

    required property var camera
    required property var dialogs

    readonly property int acqState: Format.val(camera.acqState, 0)
    readonly property bool geometryUnlocked: acqState === 1 || acqState === 2 || acqState === 6
    readonly property var activeTake: camera.activeTake
    // The active take's partition, or the first one's until the take has
    // reported its own.
    readonly property real partitionFrames: {
        const own = activeTake ? Format.val(activeTake.prtnFrCnt, 0) : 0
        return own > 0 ? own : Format.val(camera.take1PrtnFrCnt, 0)
    }
    readonly property real trigOffset: Format.val(camera.trigOffset, 0)
    readonly property bool delayMode: trigOffset > partitionFrames
    readonly property real frameRate: {
        const rate = Format.val(camera.frRate, 0)
        if (rate > 0)
            return rate
        const clocks = Format.val(camera.frClks, 0)
        return clocks > 0 ? Format.val(camera.clkFreq, 0) / clocks : 0
    }
    readonly property int savedTakeCount: camera.savedTakes ? camera.savedTakes.count : 0

    // The mode a drag started in holds until the handle is let go, so that
    // crossing T = P does not change the scale under the pointer.
    property bool dragDelayMode: false

    function handlePosition() {
        const P = partitionFrames, T = trigOffset
        if (P <= 0)
            return 0
        return delayMode ? 1 - P / T : (P - T) / P
    }

    function writeFromHandle(x) {
        const P = partitionFrames
        if (P <= 0)
            return
        let T
        if (dragDelayMode)
            T = P / (1 - Math.min(x, 1 - P / Format.uint32Max))
        else
            T = Math.max(P - P * x, 2)
        camera.trigOffset.value = Math.min(Math.round(T), Format.uint32Max)
    }

    Label {
        objectName: "triggerSliderLabel"
        x: Theme.rowMargin
        topPadding: Theme.spacing
        text: "Trigger Position"
        color: triggerSlider.enabled ? Theme.palette.windowText : Theme.palette.disabled.windowText
    }
    TriggerSlider {
        id: triggerSlider
        objectName: "triggerSlider"
        x: 4
        width: 260
        Accessible.name: "Trigger Position"
        enabled: frameBufferPane.geometryUnlocked
        handlePosition: frameBufferPane.handlePosition()
        markerPosition: frameBufferPane.delayMode ? 0 : handlePosition
        onDragged: position => frameBufferPane.writeFromHandle(position)
        Connections {
            target: triggerSlider.trigHandle
            function onPressedChanged() {
                if (triggerSlider.trigHandle.pressed)
                    frameBufferPane.dragDelayMode = frameBufferPane.delayMode
            }
        }
    }
    ValueRow {
        label: "Trigger Offset"
        ValueComboBox {
            objectName: "trigOffsetCombo"
            list: frameBufferPane.camera.trigOffsetList
            listIndex: frameBufferPane.camera.trigOffsetListIndex
            editable: true
            units: "frames"
            enabled: frameBufferPane.geometryUnlocked
            validator: RegularExpressionValidator { regularExpression: /\d{0,12}/ }
            onChosen: (index, text) => {
                const v = Format.parseNumber(text)
                if (v >= 0)
                    frameBufferPane.camera.trigOffset.value = Math.min(Math.round(v), Format.uint32Max)
            }
        }
    }
    ValueRow {
        objectName: "triggerModeRow"
        label: frameBufferPane.delayMode ? "Delay" : "Pre-Trigger"
        value: Format.framesWithDuration(frameBufferPane.delayMode
                                         ? frameBufferPane.trigOffset - frameBufferPane.partitionFrames
                                         : frameBufferPane.partitionFrames - frameBufferPane.trigOffset,
                                         frameBufferPane.frameRate)
    }
    ValueRow {
        objectName: "recordedRow"
        label: "Recorded"
        value: frameBufferPane.activeTake && frameBufferPane.acqState !== 1
               ? Format.framesWithDuration(Format.val(frameBufferPane.activeTake.frCnt, 0), frameBufferPane.frameRate)
               : "STBY"
    }
    ValueRow {
        objectName: "partitionRow"
        label: "Partition"
        value: Format.framesWithDuration(frameBufferPane.partitionFrames, frameBufferPane.frameRate)
    }
    EditableTextRow {
        name: "partitionCount"
        label: "Partition Count"
        dialogs: frameBufferPane.dialogs
        text: String(Format.val(frameBufferPane.camera.prtnCnt, ""))
        prompt: "Partition Count:"
        validator: frameBufferPane.partitionValidator
        // Partitions change only while no saved take would be lost.
        editable: frameBufferPane.savedTakeCount === 0 && frameBufferPane.geometryUnlocked
        onEdited: text => frameBufferPane.camera.partition(parseInt(text))
    }
    property IntValidator partitionValidator: IntValidator { bottom: 1; top: 65535 }
}
