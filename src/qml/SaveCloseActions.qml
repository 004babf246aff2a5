import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Capabilities.js" as Capabilities

// What can be done to an SSD take or an open VORN file: save it or close it.
QtObject {
    id: actions

    required property var vornObject
    required property ShellActions shell

    // SSD takes close on the camera (fclose), files close themselves (close).
    readonly property string closeMethod: actions.vornObject && actions.vornObject.type === VornObject.SsdTakeType
                                          ? "fclose" : "close"

    property Action save: Action {
        text: "Save..."
        // Only playable objects have frames to save.
        enabled: Capabilities.has(actions.vornObject, "stepFrFwd")
        onTriggered: actions.shell.open(actions.shell.saveDialog, { vornObject: actions.vornObject })
    }
    property Action close: Action {
        text: "Close"
        enabled: Capabilities.has(actions.vornObject, actions.closeMethod)
        onTriggered: actions.vornObject[actions.closeMethod]()
    }

    readonly property var entries: [save, close]
}
