import QtQuick
import QtQuick.Controls
import "Capabilities.js" as Capabilities
import "TakeDeleteWarning.js" as TakeDeleteWarning

// What can be done to a take in camera memory: save it or delete it.
QtObject {
    id: actions

    required property var take
    required property ShellActions shell

    readonly property bool deleteWarn: TakeDeleteWarning.enabled(vornApp)

    property Action save: Action {
        text: "Save..."
        // Only playable objects have frames to save.
        enabled: Capabilities.has(actions.take, "stepFrFwd")
        onTriggered: actions.shell.open(actions.shell.saveDialog, { vornObject: actions.take })
    }
    property Action deleteTake: Action {
        text: actions.deleteWarn ? "Delete..." : "Delete"
        enabled: Capabilities.has(actions.take, "deleteTake")
        onTriggered: {
            const take = actions.take
            // A take that is being saved is locked on the camera.
            if (take.locked) {
                vornApp.showMessage("<b>Take " + take.takeId + " can't be deleted while save<br>is in progress!</b>")
                return
            }
            if (!actions.deleteWarn) {
                take.deleteTake()
                return
            }
            actions.shell.confirm("<b>Delete Take " + take.takeId + "?</b>", "Delete",
                                  function() { take.deleteTake() })
        }
    }

    readonly property var entries: [save, deleteTake]
}
