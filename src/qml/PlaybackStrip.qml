import QtQuick
import Vorn 1.0

// Under the frames: the scrubber, the in point, shown frame and out point (or
// the progress of an image search), and the transport buttons between the
// play step and the play rate. Left and Right step, Space pauses or plays.
Rectangle {
    id: playbackStrip
    objectName: "playbackStrip"

    required property PlaybackVornObject vornObject
    // The object's own image search; a review searches one of its members.
    property ImgSearch search: vornObject ? vornObject.imgSearch : null
    readonly property bool searching: !!search && search.state === ImgSearch.Searching

    // A number of the strip was typed: the keys can go back to playback.
    signal editingDone()

    // The scrubber and the rows with their spacing and padding: it depends
    // on the width only, so that the strip stands in place from the first
    // frame on.
    readonly property int rowHeight: 30
    height: column.implicitHeight
    color: Theme.header

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
        height: Theme.separatorWidth
        color: Theme.separator
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
            height: playbackStrip.rowHeight

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
        Item {
            // The play step, the transport buttons centred and the play rate
            // in one row; where the strip is too narrow for that, the
            // buttons get a row of their own above the other two.
            id: controls
            readonly property bool oneRow: width >= transportBar.width
                                             + 2 * (Math.max(stepControl.width, rateControl.width) + 2 * Theme.margin)
            width: column.width
            height: oneRow ? playbackStrip.rowHeight : 2 * playbackStrip.rowHeight + column.spacing

            TransportBar {
                id: transportBar
                objectName: "transportBar"
                anchors.horizontalCenter: parent.horizontalCenter
                y: (playbackStrip.rowHeight - height) / 2
                vornObject: playbackStrip.vornObject
                search: playbackStrip.search
            }
            PlayStepControl {
                id: stepControl
                objectName: "playStepControl"
                x: Theme.margin
                y: controls.height - (playbackStrip.rowHeight + height) / 2
                vornObject: playbackStrip.vornObject
                onEditingDone: playbackStrip.editingDone()
            }
            PlayRateControl {
                id: rateControl
                objectName: "playRateControl"
                x: controls.width - width - Theme.margin
                y: controls.height - (playbackStrip.rowHeight + height) / 2
                vornObject: playbackStrip.vornObject
                onEditingDone: playbackStrip.editingDone()
            }
        }
    }
}
