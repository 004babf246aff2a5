import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vorn 1.0

// A camera's live image with its recording commands. The full camera panel
// of settings builds on this.
Control {
    id: view
    objectName: "cameraView"
    property var camera: vornApp.selectedVornObject

    background: Rectangle { color: view.palette.base }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        RowLayout {
            Layout.fillWidth: true
            Layout.margins: 6
            spacing: 8

            Label {
                objectName: "cameraName"
                text: view.camera ? view.camera.name.value : ""
                font.bold: true
            }
            Label {
                objectName: "cameraAddress"
                text: view.camera ? view.camera.ipString : ""
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
                enabled: view.camera !== null && view.camera.acqState.value === 1 && view.camera.takesAvailable() > 0
                onClicked: view.camera.record()
            }
            Button {
                objectName: "triggerButton"
                text: "Trigger"
                enabled: view.camera !== null && (view.camera.acqState.value === 2 || view.camera.acqState.value === 6)
                onClicked: view.camera.trigger()
            }
            Button {
                objectName: "abortButton"
                text: "Abort"
                enabled: view.camera !== null && view.camera.acqState.value !== 1
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
