import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Format.js" as Format

// One recording of a side-by-side review: its frame at the review's time
// (the frame view shows the frame's time stamp), with the camera's name, the
// frame's number, and a note when the time lies outside the recording. The cell under the pointer is the one
// the strip's image search runs on (outlined).
Rectangle {
    id: cell
    objectName: "reviewFrameCell"

    required property ReviewMember member
    required property ReviewGroup group
    readonly property PlaybackVornObject source: cell.member ? cell.member.source : null
    readonly property bool searched: !!cell.group && cell.group.searchMember === cell.member

    color: Theme.picture
    border.width: 2
    border.color: cell.searched ? Theme.palette.highlight : Theme.separator

    HoverHandler {
        onHoveredChanged: if (hovered && cell.group) cell.group.searchMember = cell.member
    }

    FramePane {
        anchors.fill: parent
        anchors.margins: cell.border.width
        vornObject: cell.source
    }

    Rectangle {
        x: 8
        y: 8
        width: captions.width + 12
        height: captions.height + 8
        radius: 3
        color: "#a0000000"

        Column {
            id: captions
            x: 6
            y: 4
            Label {
                objectName: "cameraNameLabel"
                font.bold: true
                text: cell.source ? String(Format.val(cell.source.cameraName, "")) : ""
                textFormat: Text.PlainText
            }
            Label {
                objectName: "frameLabel"
                text: {
                    if (!cell.source)
                        return ""
                    const position = cell.member.rangePosition
                    return "Frame " + cell.source.fr
                        + (position === ReviewMember.BeforeStart ? " \u2014 before its first frame"
                           : position === ReviewMember.AfterEnd ? " \u2014 after its last frame" : "")
                }
                color: cell.member && cell.member.rangePosition !== ReviewMember.InRange ? Theme.warning : Theme.palette.text
            }
        }
    }
}
