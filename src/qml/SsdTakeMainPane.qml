import QtQuick

// "SSD Take": a take file on the camera's SSD, named after the file.
CollapsiblePane {
    id: ssdTakeMainPane
    objectName: "ssdTakeMainPane"
    title: "SSD Take"

    required property var ssdTake

    ValueRow {
        objectName: "ssdTakeNameRow"
        label: "Name"
        value: ssdTakeMainPane.ssdTake ? vornApp.baseNameFromPath(ssdTakeMainPane.ssdTake.name) : ""
    }
    RecordingRows { vornObject: ssdTakeMainPane.ssdTake }
}
