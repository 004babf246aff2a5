import QtQuick
import QtQuick.Layouts
import Vorn 1.0

// Under the frames: the scrubber, the in point, shown frame and out point (or
// the progress of an image search), and the transport buttons between the
// play step and the play rate. Left and Right step, Space pauses or plays.
Rectangle {
    id: playbackStrip
    objectName: "playbackStrip"

    required property PlaybackVornObject vornObject
    readonly property ImgSearch search: vornObject ? vornObject.imgSearch : null
    readonly property bool searching: !!search && search.state === ImgSearch.Searching

    // A number of the strip was typed: the keys can go back to playback.
    signal editingDone()

    // The scrubber and two rows of 30 with their spacing and padding; fixed,
    // so that the strip stands in place from the first frame on.
    height: 106
    color: "#262626"

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

    Rectangle {
        // the border between the frames and the strip
        width: parent.width
        height: 1
        color: "#444444"
    }

    Column {
        id: column
        width: parent.width
        topPadding: 4
        bottomPadding: 6
        spacing: 2

        PlaybackScrubber {
            objectName: "scrubber"
            width: column.width
            height: 32
            vornObject: playbackStrip.vornObject
        }
        Item {
            width: column.width
            height: 30

            FrameRangeRow {
                anchors.fill: parent
                visible: !playbackStrip.searching
                vornObject: playbackStrip.vornObject
                onEditingDone: playbackStrip.editingDone()
            }
            SearchProgressRow {
                objectName: "searchProgressRow"
                anchors.fill: parent
                visible: playbackStrip.searching
                search: playbackStrip.search
            }
        }
        RowLayout {
            width: column.width
            height: 30
            spacing: 8

            PlayStepControl {
                Layout.leftMargin: 8
                vornObject: playbackStrip.vornObject
                onEditingDone: playbackStrip.editingDone()
            }
            Item {
                // the transport buttons, centred in the room between
                Layout.fillWidth: true
                Layout.fillHeight: true
                Layout.minimumWidth: transportBar.implicitWidth

                TransportBar {
                    id: transportBar
                    anchors.centerIn: parent
                    vornObject: playbackStrip.vornObject
                }
            }
            PlayRateControl {
                Layout.rightMargin: 8
                vornObject: playbackStrip.vornObject
                onEditingDone: playbackStrip.editingDone()
            }
        }
    }
}
