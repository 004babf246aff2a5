import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Format.js" as Format
import "TakeDeleteWarning.js" as TakeDeleteWarning

// What can be done to a camera as a whole: the entries of its tab's context
// menu and of the "File" menu while it is selected.
QtObject {
    id: actions

    required property Camera camera
    required property ShellActions shell

    readonly property bool deleteWarn: TakeDeleteWarning.enabled(VornApp)

    // Entries that would find nothing to act on are disabled.
    readonly property int savedTakeCount: camera && camera.savedTakes ? camera.savedTakes.count : 0
    readonly property int ssdTakeCount: camera && camera.ssdTakes ? camera.ssdTakes.count : 0
    readonly property bool ssdReady: !!camera && !!camera.ssdState && camera.ssdState.value === Camera.SsdReady

    property Action saveAllTakes: Action {
        text: "Save All Takes..."
        enabled: actions.savedTakeCount > 0
        onTriggered: {
            actions.camera.addAllTakesToSaveBatch()
            if (VornApp.saveBatchObjModel.count > 0)
                actions.shell.open(actions.shell.batchSaveDialog)
        }
    }
    property Action deleteAllTakes: Action {
        text: actions.deleteWarn ? "Delete All Takes..." : "Delete All Takes"
        enabled: actions.savedTakeCount > 0
        onTriggered: {
            const camera = actions.camera
            if (!actions.deleteWarn) {
                camera.deleteAllTakes()
                return
            }
            actions.shell.confirm("<b>Delete all takes of<br>" + Format.html(camera.name.value ?? "the camera") + "?</b>", "Delete",
                                  function() { camera.deleteAllTakes() })
        }
    }
    property Action openSsdTake: Action {
        text: "Open SSD Take..."
        enabled: actions.ssdReady
        onTriggered: {
            actions.camera.ssdLs()
            actions.shell.open(actions.shell.ssdOpenDialog, { camera: actions.camera })
        }
    }
    property Action saveAllSsdTakes: Action {
        text: "Save All SSD Takes..."
        enabled: actions.ssdTakeCount > 0
        onTriggered: {
            actions.camera.addAllSsdTakesToSaveBatch()
            if (VornApp.saveBatchObjModel.count > 0)
                actions.shell.open(actions.shell.batchSaveDialog)
        }
    }
    property Action closeAllSsdTakes: Action {
        text: "Close All SSD Takes"
        enabled: actions.ssdTakeCount > 0
        onTriggered: actions.camera.ssdFCloseAll()
    }
    property Action copySettings: Action {
        text: "Copy Settings to Other Cameras..."
        enabled: !!actions.camera && actions.camera.connected && VornApp.rig.cameraCount > 1
        onTriggered: actions.shell.open(actions.shell.copySettingsDialog, { camera: actions.camera })
    }
    property Action disconnect: Action {
        text: "Disconnect"
        onTriggered: actions.camera.disconnectCamera()
    }

    // In menu order; null is a separator.
    readonly property var entries: [saveAllTakes, deleteAllTakes, null,
        openSsdTake, saveAllSsdTakes, closeAllSsdTakes, null, copySettings, null, disconnect]
}
