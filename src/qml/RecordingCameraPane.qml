import QtQuick
import Vorn 1.0
import "Format.js" as Format

// "Camera": the camera that made the recording, as the recording names it.
CollapsiblePane {
    id: recordingCameraPane
    objectName: "recordingCameraPane"
    title: "Camera"

    required property PlaybackVornObject vornObject

    function value(name) {
        return Format.val(vornObject ? vornObject[name] : null, "")
    }

    ValueRow { objectName: "cameraNameRow"; label: "Name"; value: recordingCameraPane.value("cameraName") }
    ValueRow { objectName: "cameraSerialRow"; label: "Serial"; value: recordingCameraPane.value("cameraSerial") }
    ValueRow { objectName: "cameraModelRow"; label: "Model"; value: recordingCameraPane.value("cameraModel") }
    ValueRow { objectName: "cameraFwVerRow"; label: "Firmware Version"; value: recordingCameraPane.value("fwVer") }
}
