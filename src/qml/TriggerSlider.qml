import QtQuick
import Vorn 1.0

// The look of the trigger slider: a track, the trigger marker and the
// draggable handle. `handlePosition` and `markerPosition` place them while
// the handle is not dragged; a drag reports each position through `dragged`.
TriggerSliderTemplate {
    id: triggerSlider

    property real handlePosition: 0
    property real markerPosition: 0

    signal dragged(real position)

    readonly property real trackX: 6
    readonly property real trackWidth: width - 12

    height: 24

    function place(handle) {
        return Math.round(trackX + handle.position * (trackWidth - 1))
    }

    Binding {
        target: triggerSlider.trigHandle
        property: "position"
        value: triggerSlider.handlePosition
        when: !triggerSlider.trigHandle.pressed
        // a press leaves the handle where it is
        restoreMode: Binding.RestoreNone
    }
    Binding {
        target: triggerSlider.trigMarker
        property: "position"
        value: triggerSlider.markerPosition
    }
    Connections {
        target: triggerSlider.trigHandle
        function onMoved() { triggerSlider.dragged(triggerSlider.trigHandle.position) }
    }

    Rectangle {
        x: triggerSlider.trackX
        width: triggerSlider.trackWidth
        anchors.verticalCenter: parent.verticalCenter
        height: 6
        radius: 3
        color: Theme.palette.base
        border.color: Theme.separator
    }
    Rectangle {
        // the frames recorded before the trigger, or after the delay
        x: triggerSlider.trackX
        width: triggerSlider.place(triggerSlider.trigHandle) - x
        anchors.verticalCenter: parent.verticalCenter
        height: 6
        color: triggerSlider.enabled ? Theme.palette.highlight : Theme.palette.disabled.highlight
        opacity: Theme.rangeOpacity
    }
    Rectangle {
        x: triggerSlider.place(triggerSlider.trigMarker) - 1
        width: 2
        height: parent.height
        color: Theme.alarm
    }
    Rectangle {
        id: handleItem
        x: triggerSlider.place(triggerSlider.trigHandle) - width / 2
        width: 10
        height: parent.height - 4
        anchors.verticalCenter: parent.verticalCenter
        radius: 2
        color: !triggerSlider.enabled ? Theme.markerDisabled
             : triggerSlider.trigHandle.hovered || triggerSlider.trigHandle.pressed ? Theme.markerActive
             : Theme.palette.highlight
        Component.onCompleted: triggerSlider.trigHandle.handle = handleItem
    }
}
