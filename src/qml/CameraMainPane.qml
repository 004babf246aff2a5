import QtQuick
import "Format.js" as Format

// "Camera": the camera's name (renamed through a dialog), serial, address
// and model.
CollapsiblePane {
    id: cameraMainPane
    objectName: "cameraMainPane"
    title: "Camera"

    required property var camera
    required property var dialogs

    EditableTextRow {
        objectName: "nameRow"
        name: "cameraName"
        label: "Name"
        dialogs: cameraMainPane.dialogs
        text: Format.val(cameraMainPane.camera.name, "")
        prompt: "Camera Name:"
        onEdited: text => cameraMainPane.camera.name.value = text
    }
    ValueRow { objectName: "serialRow"; label: "Serial"; value: Format.val(cameraMainPane.camera.serial, "") }
    ValueRow { objectName: "ipRow"; label: "IP Address"; value: cameraMainPane.camera.ipString || "" }
    ValueRow { objectName: "modelRow"; label: "Model"; value: Format.val(cameraMainPane.camera.cameraModel, "") }
}
