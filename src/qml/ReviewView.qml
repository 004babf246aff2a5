pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Glyphs.js" as Glyphs

// A side-by-side review: the frames of its takes and files in a grid (four
// at once, more where the window has room for them; pages when the group
// holds more), all at one time, driven by one playback strip. Keys go to the
// strip (Left and Right step every frame view, Space plays or pauses).
Control {
    id: reviewView
    objectName: "reviewView"

    readonly property ReviewGroup group: {
        const o = VornApp.selectedVornObject
        return o && o.type === VornObject.CameraGroupType ? o as ReviewGroup : null
    }
    readonly property int memberCount: group ? group.memberCount : 0

    // The grid: cells no smaller than this fit the room, at least four.
    readonly property int minCellWidth: 400
    readonly property int minCellHeight: 260
    readonly property int capacity: Math.max(4, Math.floor(cells.width / minCellWidth)
                                                 * Math.floor(cells.height / minCellHeight))
    readonly property int shownCount: Math.min(memberCount, capacity)
    property int firstShown: 0
    readonly property int columns: bestColumns(shownCount, cells.width, cells.height)
    readonly property int rows: columns > 0 ? Math.ceil(shownCount / columns) : 0

    // The number of columns that gives 4:3 cells the largest size.
    function bestColumns(count, width, height) {
        let best = 1
        let bestScale = 0
        for (let c = 1; c <= count; ++c) {
            const r = Math.ceil(count / c)
            const scale = Math.min(width / c / 4, height / r / 3)
            if (scale > bestScale) {
                best = c
                bestScale = scale
            }
        }
        return best
    }

    onMemberCountChanged: firstShown = Math.max(0, Math.min(firstShown, memberCount - shownCount))

    background: Rectangle { color: reviewView.palette.base }
    Keys.forwardTo: [strip]

    Rectangle {
        id: header
        width: parent.width
        height: Theme.stripButtonHeight + Theme.spacing
        color: Theme.header

        Label {
            objectName: "clockLabel"
            x: Theme.margin
            anchors.verticalCenter: parent.verticalCenter
            text: reviewView.group ? "Time from trigger: " + reviewView.group.clockText : ""
        }
        Row {
            anchors.right: parent.right
            anchors.rightMargin: Theme.margin
            anchors.verticalCenter: parent.verticalCenter
            spacing: Theme.spacing
            visible: reviewView.memberCount > reviewView.shownCount
            StripButton {
                objectName: "previousPageButton"
                text: Glyphs.arrowLeftSLine
                toolTip: "Previous Takes"
                enabled: reviewView.firstShown > 0
                onClicked: reviewView.firstShown = Math.max(0, reviewView.firstShown - reviewView.shownCount)
            }
            Label {
                anchors.verticalCenter: parent.verticalCenter
                text: (reviewView.firstShown + 1) + "\u2013"
                      + Math.min(reviewView.memberCount, reviewView.firstShown + reviewView.shownCount)
                      + " of " + reviewView.memberCount
            }
            StripButton {
                objectName: "nextPageButton"
                text: Glyphs.arrowRightSLine
                toolTip: "Next Takes"
                enabled: reviewView.firstShown + reviewView.shownCount < reviewView.memberCount
                onClicked: reviewView.firstShown = Math.min(reviewView.memberCount - reviewView.shownCount,
                                                            reviewView.firstShown + reviewView.shownCount)
            }
        }
    }

    Item {
        id: cells
        objectName: "reviewCells"
        anchors.top: header.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: strip.top

        Repeater {
            objectName: "reviewCellRepeater"
            model: reviewView.group ? reviewView.group.members : null
            delegate: ReviewFrameCell {
                required property ReviewMember qtObject
                required property int index
                readonly property int slot: index - reviewView.firstShown
                member: qtObject
                group: reviewView.group
                visible: slot >= 0 && slot < reviewView.shownCount
                width: Math.floor(cells.width / Math.max(1, reviewView.columns))
                height: Math.floor(cells.height / Math.max(1, reviewView.rows))
                x: (slot % Math.max(1, reviewView.columns)) * width
                y: Math.floor(slot / Math.max(1, reviewView.columns)) * height
            }
        }
    }

    PlaybackStrip {
        id: strip
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        vornObject: reviewView.group
        search: reviewView.group ? reviewView.group.memberSearch : null
        onEditingDone: reviewView.forceActiveFocus()
    }
}
