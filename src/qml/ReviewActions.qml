import QtQuick
import QtQuick.Controls
import Vorn 1.0

// What can be done to a side-by-side review: save the same time window of
// every member with one set of choices (the batch save, each row the
// member's frames between the in and out points), or close it.
QtObject {
    id: actions

    required property ReviewGroup group
    required property ShellActions shell

    property Action save: Action {
        text: "Save Review..."
        enabled: !!actions.group
        onTriggered: {
            if (actions.group.addToSaveBatch() > 0)
                actions.shell.open(actions.shell.batchSaveDialog, { reviewGroup: actions.group })
            else
                actions.shell.showMessage("<b>No frames of the review lie<br>between its in and out points.</b>")
        }
    }
    property Action close: Action {
        text: "Close Review"
        enabled: !!actions.group
        onTriggered: actions.group.close()
    }

    readonly property var entries: [save, close]
}
