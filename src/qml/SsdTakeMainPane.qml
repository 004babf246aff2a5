import QtQuick
import Vorn 1.0

// "SSD Take": a take file on the camera's SSD, named after the file.
CollapsiblePane {
    id: ssdTakeMainPane
    objectName: "ssdTakeMainPane"
    title: "SSD Take"

    required property SsdTake ssdTake

    ValueRow {
        objectName: "ssdTakeNameRow"
        label: "Name"
        value: ssdTakeMainPane.ssdTake ? VornApp.baseNameFromPath(ssdTakeMainPane.ssdTake.name) : ""
    }
    RecordingRows { vornObject: ssdTakeMainPane.ssdTake }
}
