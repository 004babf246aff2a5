import QtQuick
import QtQuick.Controls
import Vorn 1.0

// What can be done to an SSD take or an open VORN file: save it or close it.
QtObject {
    id: actions

    required property PlaybackVornObject vornObject
    required property ShellActions shell

    property Action save: Action {
        text: "Save..."
        onTriggered: actions.shell.open(actions.shell.saveDialog, { vornObject: actions.vornObject })
    }
    property Action close: Action {
        text: "Close"
        // SSD takes close on the camera, files close themselves.
        onTriggered: {
            if (actions.vornObject.type === VornObject.SsdTakeType)
                (actions.vornObject as SsdTake).fclose()
            else
                (actions.vornObject as VornFile).close()
        }
    }

    readonly property var entries: [save, close]
}
