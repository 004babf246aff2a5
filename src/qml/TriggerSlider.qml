import QtQuick
import Vorn 1.0

// The look of the trigger slider: a track, the trigger marker and the
// draggable handle. `handlePosition` and `markerPosition` place them while
// the handle is not dragged; a drag reports each position through `dragged`.
TriggerSliderTemplate {
    id: slider

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
        target: slider.trigHandle
        property: "position"
        value: slider.handlePosition
        when: !slider.trigHandle.pressed
    }
    Binding {
        target: slider.trigMarker
        property: "position"
        value: slider.markerPosition
    }
    Connections {
        target: slider.trigHandle
        function onMoved() { slider.dragged(slider.trigHandle.position) }
    }

    Rectangle {
        x: slider.trackX
        width: slider.trackWidth
        anchors.verticalCenter: parent.verticalCenter
        height: 6
        radius: 3
        color: "#191919"
        border.color: "#444444"
    }
    Rectangle {
        // the frames recorded before the trigger, or after the delay
        x: slider.trackX
        width: slider.place(slider.trigHandle) - x
        anchors.verticalCenter: parent.verticalCenter
        height: 6
        color: "#D25F15"
        opacity: slider.enabled ? 0.6 : 0.25
    }
    Rectangle {
        x: slider.place(slider.trigMarker) - 1
        width: 2
        height: parent.height
        color: "#ff3030"
    }
    Rectangle {
        id: handleItem
        x: slider.place(slider.trigHandle) - width / 2
        width: 10
        height: parent.height - 4
        anchors.verticalCenter: parent.verticalCenter
        radius: 2
        color: !slider.enabled ? "#606060"
             : slider.trigHandle.hovered || slider.trigHandle.pressed ? "#ffffff" : "#D25F15"
        Component.onCompleted: slider.trigHandle.handle = handleItem
    }
}
