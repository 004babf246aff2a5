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
        color: "#191919"
        border.color: "#444444"
    }
    Rectangle {
        // the frames recorded before the trigger, or after the delay
        x: triggerSlider.trackX
        width: triggerSlider.place(triggerSlider.trigHandle) - x
        anchors.verticalCenter: parent.verticalCenter
        height: 6
        color: "#D25F15"
        opacity: triggerSlider.enabled ? 0.6 : 0.25
    }
    Rectangle {
        x: triggerSlider.place(triggerSlider.trigMarker) - 1
        width: 2
        height: parent.height
        color: "#ff3030"
    }
    Rectangle {
        id: handleItem
        x: triggerSlider.place(triggerSlider.trigHandle) - width / 2
        width: 10
        height: parent.height - 4
        anchors.verticalCenter: parent.verticalCenter
        radius: 2
        color: !triggerSlider.enabled ? "#606060"
             : triggerSlider.trigHandle.hovered || triggerSlider.trigHandle.pressed ? "#ffffff" : "#D25F15"
        Component.onCompleted: triggerSlider.trigHandle.handle = handleItem
    }
}
