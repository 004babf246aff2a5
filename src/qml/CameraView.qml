import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Capabilities.js" as Capabilities
import "Format.js" as Format

// The cameraView of a selected camera: a scrollable column of panes with every
// setting of the camera on the left, its live image filling the rest. Each
// pane's open state is kept per camera.
Control {
    id: cameraView
    objectName: "cameraView"

    // The camera the cameraView was made for. The cameraView outlives a change of
    // selection by a moment, so it keeps this one rather than following the
    // selection; it turns null only when the camera itself goes away.
    property var camera: null

    // The window's dialogs (set by the window once the view is loaded).
    property ShellActions shell: null

    background: Rectangle { color: cameraView.palette.base }

    Component.onCompleted: {
        const selected = vornApp.selectedVornObject
        if (selected && selected.type === VornObject.CameraType)
            camera = selected
    }

    function restorePaneStates() {
        if (!paneLoader.item)
            return
        const panes = paneLoader.item.children
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

    ScrollView {
        id: paneScroll
        objectName: "paneScroll"
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        width: 268 + 12
        contentWidth: 268
        clip: true
        ScrollBar.horizontal.policy: ScrollBar.AlwaysOff
        ScrollBar.vertical.policy: contentHeight > height ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff

        Loader {
            id: paneLoader
            // The panes need a whole camera: its values, lists and settings.
            active: cameraView.camera !== null && !cameraView.cameraLeaving && Capabilities.has(cameraView.camera, "setting")
            sourceComponent: paneColumnComponent
        }
    }

    Rectangle {
        // the border between the panes and the picture
        anchors.left: paneScroll.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        width: 1
        color: "#444444"
    }

    FramePane {
        id: framePane
        anchors.left: paneScroll.right
        anchors.leftMargin: 1
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        vornObject: cameraView.cameraLeaving ? null : cameraView.camera
        showHistogram: false
    }

    Component {
        id: paneColumnComponent

        Column {
            id: paneColumn
            objectName: "paneColumn"
            width: 268
            spacing: 2

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
