pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Format.js" as Format

// What the take, SSD take and file views share: a scrollable column of panes
// on the left (the object's own main pane first), the frames filling the
// rest and the playback strip under them. Keys go to the frame view, then to
// the strip. Pane open states are the application's "playback/..." settings,
// the same for the three views.
Control {
    id: playbackView

    // The kind of object (VornObject.Type) the view shows, and its main pane,
    // first in the column.
    required property int objectType
    required property Component mainPane

    // The window's dialogs (set by the window once the view is loaded).
    property ShellActions shell: null

    // The view outlives a change of selection by a moment: it binds only to
    // a playable object of its kind.
    readonly property PlaybackVornObject vornObject: {
        const o = VornApp.selectedVornObject
        return o && o.type === objectType ? o as PlaybackVornObject : null
    }

    background: Rectangle { color: playbackView.palette.base }

    Keys.forwardTo: [framePane.frameView, strip]

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

        // The panes exist while the view has its object.
        Column {
            width: 268
            Repeater {
                model: playbackView.vornObject !== null ? 1 : 0
                delegate: paneColumnComponent
            }
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
        anchors.bottom: strip.top
        vornObject: playbackView.vornObject
        showHistogram: false
    }

    PlaybackStrip {
        id: strip
        anchors.left: framePane.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        vornObject: playbackView.vornObject
        onEditingDone: playbackView.forceActiveFocus()
    }

    Component {
        id: paneColumnComponent

        Column {
            objectName: "paneColumn"
            width: 268
            spacing: 2

            Repeater {
                objectName: "mainPaneRepeater"
                model: 1
                delegate: playbackView.mainPane
            }
            RecordingCameraPane {
                vornObject: playbackView.vornObject
                settingsOwner: VornApp
                settingKey: "playback/camera_pane_expanded"
            }
            ImageToolsPane {
                vornObject: playbackView.vornObject
                settingsOwner: VornApp
                settingKey: "playback/img_tools_pane_expanded"
            }
            ImageAdjustmentsPane {
                vornObject: playbackView.vornObject
                settingsOwner: VornApp
                settingKey: "playback/img_adj_pane_expanded"
            }
            ColorAdjustmentsPane {
                vornObject: playbackView.vornObject
                visible: !!playbackView.vornObject && !!playbackView.vornObject.imgAdjModel
                         && Format.val(playbackView.vornObject.imgAdjModel.cfa, 0) !== 0
                settingsOwner: VornApp
                settingKey: "playback/color_adj_pane_expanded"
                settingDefault: false
            }
            ImageSearchPane {
                vornObject: playbackView.vornObject
                settingsOwner: VornApp
                settingKey: "playback/img_search_pane_expanded"
            }
            LensInfoPane {
                vornObject: playbackView.vornObject
                settingsOwner: VornApp
                settingKey: "playback/lens_pane_expanded"
            }
        }
    }
}
