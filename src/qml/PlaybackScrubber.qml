import QtQuick
import Vorn 1.0

// The scrubber over a playable object's frames: play head, in and out
// markers and the trigger marker, bound to the object's fr, aFr and bFr.
PlaybackScrubberTemplate {
    id: scrubber
    property var vornObject: null

    readonly property real trackX: 8
    readonly property real trackWidth: width - 16

    function place(handle) {
        return Math.round(trackX + handle.position * (trackWidth - 1))
    }

    // Once the object knows its frames: their range, then where its in and
    // out points and its position stand (they may have moved before).
    function applyRange() {
        if (!vornObject || !vornObject.valuesInit || !vornObject.firstFr || !vornObject.lastFr)
            return
        setFrRange(vornObject.firstFr.value, vornObject.lastFr.value)
        aMarker.fr = vornObject.aFr
        bMarker.fr = vornObject.bFr
        playHead.fr = vornObject.fr
    }

    onVornObjectChanged: applyRange()
    Component.onCompleted: applyRange()

    Connections {
        target: scrubber.vornObject
        ignoreUnknownSignals: true
        function onValuesInitChanged() { scrubber.applyRange() }
        function onFrChanged() { scrubber.playHead.fr = scrubber.vornObject.fr }
        function onAFrChanged() { scrubber.aMarker.fr = scrubber.vornObject.aFr }
        function onBFrChanged() { scrubber.bMarker.fr = scrubber.vornObject.bFr }
    }
    Connections {
        target: scrubber.playHead
        function onMoved() { scrubber.vornObject.fr = scrubber.playHead.fr }
    }
    Connections {
        target: scrubber.aMarker
        function onMoved() { scrubber.vornObject.aFr = scrubber.aMarker.fr }
    }
    Connections {
        target: scrubber.bMarker
        function onMoved() { scrubber.vornObject.bFr = scrubber.bMarker.fr }
    }

    Rectangle {
        id: track
        x: scrubber.trackX
        width: scrubber.trackWidth
        anchors.verticalCenter: parent.verticalCenter
        height: 6
        radius: 3
        color: Theme.palette.base
        border.color: Theme.separator
    }
    Rectangle {
        // the in/out range
        x: scrubber.place(scrubber.aMarker)
        width: scrubber.place(scrubber.bMarker) - x + 1
        anchors.verticalCenter: parent.verticalCenter
        height: 6
        color: Theme.palette.highlight
        opacity: Theme.rangeOpacity
    }
    Rectangle {
        x: scrubber.place(scrubber.trigMarker) - 1
        width: 2
        height: parent.height
        color: Theme.alarm
    }
    Rectangle {
        id: aHandle
        x: scrubber.place(scrubber.aMarker) - width
        width: 6
        height: parent.height
        color: scrubber.aMarker.hovered || scrubber.aMarker.pressed ? Theme.markerActive : Theme.marker
        Component.onCompleted: scrubber.aMarker.handle = aHandle
    }
    Rectangle {
        id: bHandle
        x: scrubber.place(scrubber.bMarker)
        width: 6
        height: parent.height
        color: scrubber.bMarker.hovered || scrubber.bMarker.pressed ? Theme.markerActive : Theme.marker
        Component.onCompleted: scrubber.bMarker.handle = bHandle
    }
    Rectangle {
        id: headHandle
        x: scrubber.place(scrubber.playHead) - width / 2
        width: 10
        height: parent.height - 8
        anchors.verticalCenter: parent.verticalCenter
        radius: 2
        color: scrubber.playHead.hovered || scrubber.playHead.pressed ? Theme.markerActive : Theme.palette.highlight
        Component.onCompleted: scrubber.playHead.handle = headHandle
    }
}
