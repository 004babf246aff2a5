import QtQuick
import QtQuick.Controls
import "Format.js" as Format

// "Camera": the camera's name (renamed through a dialog), serial, address
// and model.
CollapsiblePane {
    id: cameraMainPane
    objectName: "cameraMainPane"
    title: "Camera"

    required property var camera
    required property var dialogs

    ValueRow {
        objectName: "nameRow"
        label: "Name"
        Row {
            spacing: 4
            Label {
                objectName: "cameraNameText"
                width: 140 - editNameButton.width - 4
                anchors.verticalCenter: parent.verticalCenter
                text: Format.val(cameraMainPane.camera.name, "")
                textFormat: Text.PlainText
                elide: Text.ElideRight
            }
            VornButton {
                id: editNameButton
                objectName: "editNameButton"
                width: 40
                height: 24
                text: "Edit"
                onClicked: {
                    const camera = cameraMainPane.camera
                    cameraMainPane.dialogs.ask({ label: "Camera Name:", text: Format.val(camera.name, "") },
                                            function(text) { camera.name.value = text })
                }
            }
        }
    }
    ValueRow { objectName: "serialRow"; label: "Serial"; value: Format.val(cameraMainPane.camera.serial, "") }
    ValueRow { objectName: "ipRow"; label: "IP Address"; value: cameraMainPane.camera.ipString || "" }
    ValueRow { objectName: "modelRow"; label: "Model"; value: Format.val(cameraMainPane.camera.cameraModel, "") }
}
