import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "TakeDeleteWarning.js" as TakeDeleteWarning

// What can be done to a take in camera memory: save it or delete it.
QtObject {
    id: actions

    required property Take take
    required property ShellActions shell

    readonly property bool deleteWarn: TakeDeleteWarning.enabled(VornApp)

    property Action save: Action {
        text: "Save..."
        onTriggered: actions.shell.open(actions.shell.saveDialog, { vornObject: actions.take })
    }
    property Action deleteTake: Action {
        text: actions.deleteWarn ? "Delete..." : "Delete"
        onTriggered: {
            const take = actions.take
            // A take that is being saved is locked on the camera.
            if (take.locked) {
                VornApp.showMessage("<b>Take " + take.takeId + " can't be deleted while save<br>is in progress!</b>")
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
