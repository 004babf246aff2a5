import QtQuick
import Vorn 1.0

// "Video": the format of the camera's video output.
CollapsiblePane {
    id: videoPane
    objectName: "videoPane"
    title: "Video"

    required property Camera camera

    ValueRow {
        label: "Format"
        ValueComboBox {
            objectName: "videoFormatCombo"
            list: videoPane.camera.vidFormatList
            listIndex: videoPane.camera.vidFormatIndex
            enabled: comboBox.count > 1
            onChosen: (index, text) => videoPane.camera.vidFormat.value = text
        }
    }
}
