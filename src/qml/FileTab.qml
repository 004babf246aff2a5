import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Glyphs.js" as Glyphs

// The tab of an open VORN file: its file name.
TabFrame {
    id: tab
    objectName: "fileTab"

    required property ShellActions shell
    readonly property VornFile file: tab.vornObject as VornFile

    height: 50
    menuEntries: actions.entries

    property SaveCloseActions actions: SaveCloseActions {
        vornObject: tab.file
        shell: tab.shell
    }

    Glyph {
        id: glyph
        anchors.left: parent.left
        anchors.leftMargin: 12
        anchors.verticalCenter: parent.verticalCenter
        font.pixelSize: 20
        text: Glyphs.file3
    }

    Label {
        id: nameLabel
        objectName: "fileNameLabel"
        anchors.left: glyph.right
        anchors.leftMargin: 10
        anchors.right: parent.right
        anchors.rightMargin: 10
        anchors.verticalCenter: parent.verticalCenter
        elide: Text.ElideRight
        text: tab.file ? VornApp.fileNameFromPath(tab.file.fileName) : ""
        textFormat: Text.PlainText

        HoverHandler { id: nameHover }
        TextToolTip {
            visible: nameLabel.truncated && nameHover.hovered
            text: nameLabel.text
        }
    }
}
