import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Capabilities.js" as Capabilities
import "Format.js" as Format

// What the take, SSD take and file views share: the column of panes (the
// object's own main pane first), the frames and the playback strip under
// them. Keys go to the frame view, then to the strip. Pane open states are
// the application's "playback/..." settings, the same for the three views.
ObjectView {
    id: playbackView

    // The kind of object (VornObject.Type) the view shows, and its main pane,
    // first in the column.
    required property int objectType
    required property Component mainPane

    // The window's dialogs (set by the window once the view is loaded).
    property ShellActions shell: null

    // The view outlives a change of selection by a moment: it binds only to
    // a playable object of its kind.
    readonly property var vornObject: {
        const o = vornApp.selectedVornObject
        return o && o.type === objectType && Capabilities.has(o, "stepFrFwd") ? o : null
    }

    columnActive: playbackView.vornObject !== null
    paneColumn: paneColumnComponent
    framedObject: playbackView.vornObject
    strip: Component {
        PlaybackStrip {
            vornObject: playbackView.vornObject
            onEditingDone: playbackView.forceActiveFocus()
        }
    }

    Keys.forwardTo: playbackView.stripItem ? [playbackView.frameView, playbackView.stripItem] : [playbackView.frameView]

    Component {
        id: paneColumnComponent

        Column {
            objectName: "paneColumn"
            width: Theme.paneWidth
            spacing: Theme.paneSpacing

            Loader {
                objectName: "mainPaneLoader"
                width: Theme.paneWidth
                sourceComponent: playbackView.mainPane
            }
            RecordingCameraPane {
                vornObject: playbackView.vornObject
                settingsOwner: vornApp
                settingKey: "playback/camera_pane_expanded"
            }
            ImageToolsPane {
                vornObject: playbackView.vornObject
                settingsOwner: vornApp
                settingKey: "playback/img_tools_pane_expanded"
            }
            ImageAdjustmentsPane {
                vornObject: playbackView.vornObject
                settingsOwner: vornApp
                settingKey: "playback/img_adj_pane_expanded"
            }
            ColorAdjustmentsPane {
                vornObject: playbackView.vornObject
                visible: !!playbackView.vornObject && !!playbackView.vornObject.imgAdjModel
                         && Format.val(playbackView.vornObject.imgAdjModel.cfa, 0) !== 0
                settingsOwner: vornApp
                settingKey: "playback/color_adj_pane_expanded"
                settingDefault: false
            }
            ImageSearchPane {
                vornObject: playbackView.vornObject
                settingsOwner: vornApp
                settingKey: "playback/img_search_pane_expanded"
            }
            LensInfoPane {
                vornObject: playbackView.vornObject
                settingsOwner: vornApp
                settingKey: "playback/lens_pane_expanded"
            }
        }
    }
}
