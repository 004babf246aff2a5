import QtQuick
import QtQuick.Controls

// How many frames playback advances at each frame of playback time.
Row {
    id: playStepControl

    required property var vornObject

    signal editingDone()

    spacing: 6

    Label {
        anchors.verticalCenter: parent.verticalCenter
        text: "Step"
        color: Theme.secondaryText
    }
    NumberField {
        objectName: "playStepField"
        width: 64
        minimum: 1
        maximum: 10000000
        enabled: !!playStepControl.vornObject
        value: playStepControl.vornObject ? playStepControl.vornObject.playStep : undefined
        onEdited: v => playStepControl.vornObject.playStep = v
        onEditingFinished: if (activeFocus) playStepControl.editingDone()
    }
    Label {
        objectName: "playStepUnitsLabel"
        anchors.verticalCenter: parent.verticalCenter
        width: 44
        text: playStepControl.vornObject && playStepControl.vornObject.playStep === 1 ? "frame" : "frames"
        color: Theme.secondaryText
    }
}
