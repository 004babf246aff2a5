import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vorn 1.0

// A camera's live image with its recording commands. The full camera panel
// of settings builds on this.
Control {
    id: view
    objectName: "cameraView"
    // The view outlives a change of selection by a moment: bind only to a camera.
    readonly property var camera: vornApp.selectedVornObject && vornApp.selectedVornObject.type === VornObject.CameraType
                                  ? vornApp.selectedVornObject : null

    background: Rectangle { color: view.palette.base }

    // A camera value's current value; undefined before the first poll.
    function valueOf(cameraValue) { return cameraValue ? cameraValue.value : undefined }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        RowLayout {
            Layout.fillWidth: true
            Layout.margins: 6
            spacing: 8

            Label {
                objectName: "cameraName"
                text: view.camera ? (view.valueOf(view.camera.name) || "") : ""
                font.bold: true
            }
            Label {
                objectName: "cameraAddress"
                text: view.camera ? (view.camera.ipString || "") : ""
                color: "#a0a0a0"
            }
            Label {
                objectName: "notResponding"
                visible: view.camera !== null && !view.camera.responding
                text: "Camera not responding"
                color: "#ff5050"
            }
            Item { Layout.fillWidth: true }
            Button {
                objectName: "recordButton"
                text: "Record"
                // takesAvailable(), kept live: partitions minus saved takes
                enabled: view.camera !== null && view.valueOf(view.camera.acqState) === 1
                         && (view.valueOf(view.camera.prtnCnt) || 0)
                            - (view.camera.savedTakes ? view.camera.savedTakes.count : 0) > 0
                onClicked: view.camera.record()
            }
            Button {
                objectName: "triggerButton"
                text: "Trigger"
                enabled: view.camera !== null
                         && (view.valueOf(view.camera.acqState) === 2 || view.valueOf(view.camera.acqState) === 6)
                onClicked: view.camera.trigger()
            }
            Button {
                objectName: "abortButton"
                text: "Abort"
                enabled: view.camera !== null && view.valueOf(view.camera.acqState) !== undefined
                         && view.valueOf(view.camera.acqState) !== 1
                onClicked: view.camera.abort()
            }
        }

        FramePane {
            Layout.fillWidth: true
            Layout.fillHeight: true
            vornObject: view.camera
        }
    }
}
