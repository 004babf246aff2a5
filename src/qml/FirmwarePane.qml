import QtQuick
import QtQuick.Controls
import "Format.js" as Format

// "Firmware": the camera's firmware version, the firmware update dialog
// and the check for newer firmware.
CollapsiblePane {
    id: firmwarePane
    objectName: "firmwarePane"
    title: "Firmware"

    required property var camera
    required property var dialogs

    ValueRow {
        objectName: "fwVersionRow"
        label: "Version"
        value: {
            const text = Format.val(firmwarePane.camera.fwVer, "")
            return text !== "" ? text : String(Format.val(firmwarePane.camera.fwVerInt, ""))
        }
    }
    Row {
        x: 4
        spacing: 4
        VornButton {
            objectName: "firmwareUpdateButton"
            width: 128
            text: "Firmware Update"
            visible: Format.val(firmwarePane.camera.featureQ7FW, 0) > 0
            onClicked: firmwarePane.dialogs.open(firmwarePane.dialogs.firmwareUpdateDialog, { camera: firmwarePane.camera })
        }
        VornButton {
            objectName: "checkFirmwareButton"
            width: 128
            text: "Check for Updates..."
            onClicked: firmwarePane.camera.updateCheck(true)
        }
    }
}
