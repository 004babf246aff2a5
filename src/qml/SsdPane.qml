import QtQuick
import Vorn 1.0
import "Format.js" as Format

// "SSD": the state of the camera's SSD and what can be done with it:
// opening takes saved on it, ejecting and formatting it.
CollapsiblePane {
    id: ssdPane
    objectName: "ssdPane"
    title: "SSD"

    required property Camera camera
    required property ShellActions dialogs

    readonly property int ssdState: Format.val(camera.ssdState, Camera.SsdRemoved)
    readonly property bool ready: ssdState === Camera.SsdReady
    readonly property bool writeIdle: Format.val(camera.ssdWrState, Camera.SsdWrIdle) === Camera.SsdWrIdle
    // Eject and format need an idle SSD that is ready or unformatted.
    readonly property bool maintainable: writeIdle && (ready || ssdState === Camera.SsdUnformatted)

    readonly property string stateText: {
        switch (ssdState) {
        case Camera.SsdRemoved: return "Removed"
        case Camera.SsdInsert:
        case Camera.SsdEnable: return "Mounting"
        case Camera.SsdReady:
            return writeIdle ? "Ready" : "Saving... " + Format.val(camera.ssdProgress, 0) + "%"
        case Camera.SsdShutdown:
        case Camera.SsdPowerDown: return "Ejecting"
        case Camera.SsdOff: return "Ejected"
        case Camera.SsdFail: return "Error"
        case Camera.SsdUnformatted: return "Unformatted"
        case Camera.SsdFormat: return "Formatting..."
        }
        return ""
    }

    function openSsdTake() {
        camera.ssdLs()
        dialogs.open(dialogs.ssdOpenDialog, { camera: camera })
    }

    function format() {
        const camera = ssdPane.camera
        dialogs.ask({ label: "New SSD Name:", text: Format.val(camera.ssdName, ""), acceptText: "Format",
                   validator: volumeNameValidator },
                 function(text) { camera.ssdFormat(text) })
    }

    property RegularExpressionValidator volumeNameValidator: RegularExpressionValidator {
        regularExpression: /[A-Za-z0-9_\-]{1,11}/
    }

    ValueRow {
        objectName: "ssdStateRow"
        label: "State"
        value: ssdPane.stateText
        valueColor: ssdPane.ssdState === Camera.SsdFail ? Theme.alarm : Theme.palette.windowText
    }
    ValueRow { objectName: "ssdNameRow"; label: "Name"; value: Format.val(ssdPane.camera.ssdName, "") }
    ValueRow {
        objectName: "ssdUsedRow"
        label: "Storage Used"
        visible: ssdPane.ready
        value: VornApp.sizeText(Format.val(ssdPane.camera.ssdUsed, 0)) + " of "
               + VornApp.sizeText(Format.val(ssdPane.camera.ssdSize, 0))
    }
    Row {
        x: 4
        spacing: 4
        topPadding: 2
        VornButton {
            objectName: "openSsdTakeButton"
            width: 124
            text: "Open SSD Take"
            enabled: ssdPane.ready
            onClicked: ssdPane.openSsdTake()
        }
        VornButton {
            objectName: "ejectSsdButton"
            width: 64
            text: "Eject"
            enabled: ssdPane.maintainable
            onClicked: ssdPane.camera.ssdUmount()
        }
        VornButton {
            objectName: "formatSsdButton"
            width: 64
            text: "Format"
            visible: Format.val(ssdPane.camera.featureSsdFormat, 0) > 0
            enabled: ssdPane.maintainable
            onClicked: ssdPane.format()
        }
    }
}
