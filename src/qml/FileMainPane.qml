import QtQuick

// "VORN File": an open VORN file, named after its path.
CollapsiblePane {
    id: fileMainPane
    objectName: "fileMainPane"
    title: "VORN File"

    required property var file

    ValueRow {
        objectName: "fileNameRow"
        label: "File Name"
        value: fileMainPane.file ? vornApp.baseNameFromPath(fileMainPane.file.fileName) : ""
    }
    RecordingRows { vornObject: fileMainPane.file }
}
