import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Glyphs.js" as Glyphs

// The tab of a side-by-side review: how many takes and files it shows.
TabFrame {
    id: tab
    objectName: "reviewTab"

    required property ShellActions shell
    readonly property ReviewGroup group: tab.vornObject as ReviewGroup

    height: Theme.tabHeight
    menuEntries: actions.entries

    property ReviewActions actions: ReviewActions {
        group: tab.group
        shell: tab.shell
    }

    Glyph {
        id: glyph
        anchors.left: parent.left
        anchors.leftMargin: 12
        anchors.verticalCenter: parent.verticalCenter
        font.pixelSize: 20
        text: Glyphs.clapperboardLine
    }

    Label {
        anchors.left: glyph.right
        anchors.leftMargin: 10
        anchors.right: parent.right
        anchors.rightMargin: 10
        anchors.verticalCenter: parent.verticalCenter
        elide: Text.ElideRight
        text: "Review: " + (tab.group ? tab.group.memberCount : 0) + " side by side"
    }
}
