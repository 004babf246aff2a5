import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Capabilities.js" as Capabilities
import "Format.js" as Format

// The view of a selected camera: every setting of the camera in the column
// of panes, its live image beside them. Each pane's open state is kept per
// camera.
ObjectView {
    id: cameraView
    objectName: "cameraView"

    // The panes need a whole camera: its values, lists and settings.
    columnActive: cameraView.camera !== null && !cameraView.cameraLeaving && Capabilities.has(cameraView.camera, "setting")
    paneColumn: paneColumnComponent
    framedObject: cameraView.cameraLeaving ? null : cameraView.camera

    // The camera the cameraView was made for. The cameraView outlives a change of
    // selection by a moment, so it keeps this one rather than following the
    // selection; it turns null only when the camera itself goes away.
    property var camera: null

    // The window's dialogs (set by the window once the view is loaded).
    property ShellActions shell: null

    Component.onCompleted: {
        const selected = vornApp.selectedVornObject
        if (selected && selected.type === VornObject.CameraType)
            camera = selected
    }

    function restorePaneStates() {
        if (!paneColumnItem)
            return
        const panes = paneColumnItem.children
        for (let i = 0; i < panes.length; ++i) {
            if (typeof panes[i].restoreState === "function")
                panes[i].restoreState()
        }
    }

    // Set once the camera is on its way out (disconnected, about to be
    // released): the panes go before the camera does.
    property bool cameraLeaving: false

    Connections {
        target: cameraView.camera
        // A camera-type object without a camera's API gets the picture only.
        ignoreUnknownSignals: true
        function onConnectedChanged() {
            if (cameraView.camera.connected)
                cameraView.restorePaneStates()
        }
        function onCameraDisconnected() { cameraView.cameraLeaving = true }
        function onShouldBeUnselected() { cameraView.cameraLeaving = true }
    }

    Component {
        id: paneColumnComponent

        Column {
            id: paneColumn
            objectName: "paneColumn"
            width: Theme.paneWidth
            spacing: Theme.paneSpacing

            CameraMainPane {
                camera: cameraView.camera
                dialogs: cameraView.shell
                settingsOwner: cameraView.camera
                settingKey: "main_pane_expanded"
            }
            AcquisitionPane {
                camera: cameraView.camera
                dialogs: cameraView.shell
                settingsOwner: cameraView.camera
                settingKey: "acq_pane_expanded"
            }
            FrameBufferPane {
                camera: cameraView.camera
                dialogs: cameraView.shell
                settingsOwner: cameraView.camera
                settingKey: "fr_buffer_pane_expanded"
            }
            ImageToolsPane {
                vornObject: cameraView.camera
                settingsOwner: cameraView.camera
                settingKey: "img_tools_pane_expanded"
            }
            ImageAdjustmentsPane {
                vornObject: cameraView.camera
                settingsOwner: cameraView.camera
                settingKey: "img_adj_pane_expanded"
            }
            ColorAdjustmentsPane {
                vornObject: cameraView.camera
                visible: !!cameraView.camera.imgAdjModel && Format.val(cameraView.camera.imgAdjModel.cfa, 0) !== 0
                settingsOwner: cameraView.camera
                settingKey: "color_adj_pane_expanded"
                // Until the camera has its own, the application's choice applies.
                settingDefault: Format.isTrue(vornApp.setting("color_adj_pane_expanded", false))
            }
            SsdPane {
                camera: cameraView.camera
                dialogs: cameraView.shell
                settingsOwner: cameraView.camera
                settingKey: "ssd_pane_expanded"
            }
            SsdAutosavePane {
                camera: cameraView.camera
                dialogs: cameraView.shell
                visible: Format.val(cameraView.camera.featureSsdSave, 0) >= 3
                settingsOwner: cameraView.camera
                settingKey: "ssd_autosave_pane_expanded"
            }
            LensPane {
                camera: cameraView.camera
                settingsOwner: cameraView.camera
                settingKey: "lens_pane_expanded"
            }
            Repeater {
                model: cameraView.camera.ios
                delegate: IoLinePane {
                    required property var qtObject
                    camera: cameraView.camera
                    io: qtObject
                    settingsOwner: cameraView.camera
                    settingKey: qtObject.token + "_pane_expanded"
                    settingDefault: false
                }
            }
            VideoPane {
                camera: cameraView.camera
                settingsOwner: cameraView.camera
                settingKey: "video_pane_expanded"
            }
            FirmwarePane {
                camera: cameraView.camera
                dialogs: cameraView.shell
                settingsOwner: cameraView.camera
                settingKey: "fw_pane_expanded"
                settingDefault: false
            }
        }
    }
}
