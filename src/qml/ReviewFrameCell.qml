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

    component Caption: Label {
        color: Theme.pictureText
        // legible on bright pictures too
        style: Text.Outline
        styleColor: Theme.pictureTextOutline
    }

    HoverHandler {
        onHoveredChanged: if (hovered && cell.group) cell.group.searchMember = cell.member
    }

    FramePane {
        anchors.fill: parent
        anchors.margins: cell.border.width
        vornObject: cell.source
    }

    Column {
        id: captions
        x: 10
        y: 8

        Caption {
            objectName: "cameraNameLabel"
            font.bold: true
            text: cell.source ? String(Format.val(cell.source.cameraName, "")) : ""
            textFormat: Text.PlainText
        }
        Caption {
            objectName: "frameLabel"
            text: {
                if (!cell.source)
                    return ""
                const position = cell.member.rangePosition
                return "Frame " + cell.source.fr
                    + (position === ReviewMember.BeforeStart ? " \u2014 before its first frame"
                       : position === ReviewMember.AfterEnd ? " \u2014 after its last frame" : "")
            }
            color: cell.member && cell.member.rangePosition !== ReviewMember.InRange ? Theme.warning : Theme.pictureText
        }
    }
}
