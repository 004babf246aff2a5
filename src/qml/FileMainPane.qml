import QtQuick
import Vorn 1.0

// "VORN File": an open VORN file, named after its path.
CollapsiblePane {
    id: fileMainPane
    objectName: "fileMainPane"
    title: "VORN File"

    required property VornFile file

    ValueRow {
        objectName: "fileNameRow"
        label: "File Name"
        value: fileMainPane.file ? VornApp.baseNameFromPath(fileMainPane.file.fileName) : ""
    }
    RecordingRows { vornObject: fileMainPane.file }
}
