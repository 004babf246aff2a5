import QtQuick
import QtQuick.Controls

// The layout the camera view and the playback views share: a scrollable
// column of panes on the left, the frames of the object filling the rest,
// and, under the frames, a strip of the view's own (the playback strip).
// Tab walks the column from top to bottom and then the strip; the frames
// keep the keys the views send them.
Control {
    id: objectView

    // The column of panes, made while `columnActive` holds.
    property Component paneColumn: null
    property bool columnActive: true
    readonly property Item paneColumnItem: paneLoader.item

    // The object whose frames are shown.
    property var framedObject: null
    readonly property alias frameView: framePane.frameView

    // Under the frames, across their width.
    property Component strip: null
    readonly property Item stripItem: stripLoader.item

    background: Rectangle { color: objectView.palette.base }

    // Tab moves the keyboard focus from row to row; a row out of sight is
    // scrolled into view with a margin around it.
    function revealFocusedRow() {
        const focused = objectView.Window.activeFocusItem
        const column = paneLoader.item
        if (!focused || !column)
            return
        let inColumn = false
        for (let p = focused.parent; p && !inColumn; p = p.parent)
            inColumn = p === column
        if (!inColumn)
            return
        const flickable = paneScroll.contentItem
        const top = focused.mapToItem(column, 0, 0).y - Theme.margin
        const bottom = top + focused.height + 2 * Theme.margin
        let y = flickable.contentY
        if (top < y)
            y = top
        else if (bottom > y + flickable.height)
            y = bottom - flickable.height
        flickable.contentY = Math.max(0, Math.min(y, flickable.contentHeight - flickable.height))
    }

    Connections {
        target: objectView.Window.window
        function onActiveFocusItemChanged() { objectView.revealFocusedRow() }
    }

    ScrollView {
        id: paneScroll
        objectName: "paneScroll"
        anchors.left: parent.left
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        width: Theme.paneWidth + Theme.scrollBarRoom
        contentWidth: Theme.paneWidth
        clip: true
        ScrollBar.horizontal.policy: ScrollBar.AlwaysOff
        ScrollBar.vertical.policy: contentHeight > height ? ScrollBar.AlwaysOn : ScrollBar.AlwaysOff

        Loader {
            id: paneLoader
            active: objectView.columnActive
            sourceComponent: objectView.paneColumn
        }
    }

    Rectangle {
        // the border between the panes and the picture
        anchors.left: paneScroll.right
        anchors.top: parent.top
        anchors.bottom: parent.bottom
        width: Theme.separatorWidth
        color: Theme.separator
    }

    FramePane {
        id: framePane
        anchors.left: paneScroll.right
        anchors.leftMargin: Theme.separatorWidth
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.bottom: stripLoader.top
        vornObject: objectView.framedObject
    }

    Loader {
        id: stripLoader
        anchors.left: framePane.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        sourceComponent: objectView.strip
    }
}
