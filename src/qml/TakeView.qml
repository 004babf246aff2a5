import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vorn 1.0

// A recorded take or file: its frames, the scrubber over its range and the
// transport buttons. The full playback view builds on this.
Control {
    id: view
    objectName: "takeView"
    // The view outlives a change of selection by a moment: bind only to
    // something playable.
    readonly property var vornObject: {
        const o = vornApp.selectedVornObject
        return o && (o.type === VornObject.TakeType || o.type === VornObject.SsdTakeType
                     || o.type === VornObject.VornFileType) ? o : null
    }

    background: Rectangle { color: view.palette.base }

    Keys.onLeftPressed: if (vornObject) vornObject.stepFrRev()
    Keys.onRightPressed: if (vornObject) vornObject.stepFrFwd()
    Keys.onSpacePressed: {
        if (!vornObject)
            return
        if (vornObject.state === PlaybackVornObject.Paused)
            vornObject.play()
        else
            vornObject.pause()
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        FramePane {
            Layout.fillWidth: true
            Layout.fillHeight: true
            vornObject: view.vornObject
        }

        PlaybackScrubber {
            objectName: "scrubber"
            Layout.fillWidth: true
            Layout.preferredHeight: 36
            vornObject: view.vornObject
        }

        RowLayout {
            Layout.fillWidth: true
            Layout.margins: 6
            spacing: 6

            Button {
                objectName: "playRevButton"
                text: "\u25C0"
                onClicked: view.vornObject.playRev()
            }
            Button {
                objectName: "pauseButton"
                text: "\u275A\u275A"
                onClicked: view.vornObject.pause()
            }
            Button {
                objectName: "playButton"
                text: "\u25B6"
                onClicked: view.vornObject.play()
            }
            Button {
                text: "\u25C0|"
                onClicked: view.vornObject.stepFrRev()
            }
            Button {
                text: "|\u25B6"
                onClicked: view.vornObject.stepFrFwd()
            }
            Label {
                objectName: "frameText"
                text: view.vornObject ? "Frame " + view.vornObject.fr + "   In " + view.vornObject.aFr
                                        + "   Out " + view.vornObject.bFr : ""
            }
            Item { Layout.fillWidth: true }
        }
    }
}
