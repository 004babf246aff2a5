import QtQuick
import QtQuick.Controls
import "Capabilities.js" as Capabilities
import "Format.js" as Format
import "TakeDeleteWarning.js" as TakeDeleteWarning
import "ViewRegistry.js" as Registry

// What can be done to a camera as a whole: the entries of its tab's context
// menu and of the "File" menu while it is selected.
QtObject {
    id: actions

    required property var camera
    required property ShellActions shell

    readonly property bool deleteWarn: TakeDeleteWarning.enabled(vornApp)

    property Action saveAllTakes: Action {
        text: "Save All Takes..."
        enabled: Capabilities.has(actions.camera, "addAllTakesToSaveBatch") && Registry.hasDialog("batchSave")
        onTriggered: {
            actions.camera.addAllTakesToSaveBatch()
            if (vornApp.saveBatchObjModel.count > 0)
                actions.shell.openDialog("batchSave")
        }
    }
    property Action deleteAllTakes: Action {
        text: actions.deleteWarn ? "Delete All Takes..." : "Delete All Takes"
        enabled: Capabilities.has(actions.camera, "deleteAllTakes")
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
        enabled: Capabilities.has(actions.camera, "ssdLs") && Registry.hasDialog("ssdTakeOpen")
        onTriggered: {
            actions.camera.ssdLs()
            actions.shell.openDialog("ssdTakeOpen", { camera: actions.camera })
        }
    }
    property Action saveAllSsdTakes: Action {
        text: "Save All SSD Takes..."
        enabled: Capabilities.has(actions.camera, "addAllSsdTakesToSaveBatch") && Registry.hasDialog("batchSave")
        onTriggered: {
            actions.camera.addAllSsdTakesToSaveBatch()
            if (vornApp.saveBatchObjModel.count > 0)
                actions.shell.openDialog("batchSave")
        }
    }
    property Action closeAllSsdTakes: Action {
        text: "Close All SSD Takes"
        enabled: Capabilities.has(actions.camera, "ssdFCloseAll")
        onTriggered: actions.camera.ssdFCloseAll()
    }
    property Action disconnect: Action {
        text: "Disconnect"
        enabled: Capabilities.has(actions.camera, "disconnectCamera")
        onTriggered: actions.camera.disconnectCamera()
    }

    // In menu order; null is a separator.
    readonly property var entries: [saveAllTakes, deleteAllTakes, null,
        openSsdTake, saveAllSsdTakes, closeAllSsdTakes, null, disconnect]
}
