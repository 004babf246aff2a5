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

    property Action saveAllTakes: Action {
        text: "Save All Takes..."
        onTriggered: {
            actions.camera.addAllTakesToSaveBatch()
            if (VornApp.saveBatchObjModel.count > 0)
                actions.shell.openDialog("batchSave")
        }
    }
    property Action deleteAllTakes: Action {
        text: actions.deleteWarn ? "Delete All Takes..." : "Delete All Takes"
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
        onTriggered: {
            actions.camera.ssdLs()
            actions.shell.openDialog("ssdTakeOpen", { camera: actions.camera })
        }
    }
    property Action saveAllSsdTakes: Action {
        text: "Save All SSD Takes..."
        onTriggered: {
            actions.camera.addAllSsdTakesToSaveBatch()
            if (VornApp.saveBatchObjModel.count > 0)
                actions.shell.openDialog("batchSave")
        }
    }
    property Action closeAllSsdTakes: Action {
        text: "Close All SSD Takes"
        onTriggered: actions.camera.ssdFCloseAll()
    }
    property Action disconnect: Action {
        text: "Disconnect"
        onTriggered: actions.camera.disconnectCamera()
    }

    // In menu order; null is a separator.
    readonly property var entries: [saveAllTakes, deleteAllTakes, null,
        openSsdTake, saveAllSsdTakes, closeAllSsdTakes, null, disconnect]
}
