pragma ComponentBehavior: Bound

import QtQuick
import Vorn 1.0
import "Format.js" as Format

// The in point, the shown frame and the out point as numbers to edit, with
// the brackets that set the in and out points to the shown frame.
Item {
    id: frameRangeRow

    required property PlaybackVornObject vornObject
    readonly property bool ready: !!vornObject && vornObject.valuesInit
    readonly property real firstFr: Format.val(vornObject ? vornObject.firstFr : null, 0)
    readonly property real lastFr: Format.val(vornObject ? vornObject.lastFr : null, 0)

    // A number was typed and entered.
    signal editingDone()

    height: 30

    component FrameField: NumberField {
        width: 90
        // (a field that lost the keyboard to another control leaves it there)
        onEditingFinished: if (activeFocus) frameRangeRow.editingDone()
        minimum: frameRangeRow.firstFr
        maximum: frameRangeRow.lastFr
        enabled: frameRangeRow.ready
    }

    Row {
        anchors.left: parent.left
        anchors.leftMargin: 4
        anchors.verticalCenter: parent.verticalCenter
        spacing: 4

        BracketButton {
            objectName: "inBracketButton"
            text: "["
            toolTip: "Set In Point (hold to reset)"
            enabled: frameRangeRow.ready
            atLimit: !frameRangeRow.ready || frameRangeRow.vornObject.aFr === frameRangeRow.firstFr
            onClicked: frameRangeRow.vornObject.aFr = frameRangeRow.vornObject.fr
            onResetChosen: frameRangeRow.vornObject.aFr = frameRangeRow.firstFr
        }
        FrameField {
            objectName: "inFrameField"
            value: frameRangeRow.ready ? frameRangeRow.vornObject.aFr : undefined
            onEdited: v => frameRangeRow.vornObject.aFr = v
        }
    }

    FrameField {
        objectName: "frameField"
        anchors.horizontalCenter: parent.horizontalCenter
        anchors.verticalCenter: parent.verticalCenter
        value: frameRangeRow.ready ? frameRangeRow.vornObject.fr : undefined
        onEdited: v => frameRangeRow.vornObject.fr = v
    }

    Row {
        anchors.right: parent.right
        anchors.rightMargin: 4
        anchors.verticalCenter: parent.verticalCenter
        spacing: 4

        FrameField {
            objectName: "outFrameField"
            value: frameRangeRow.ready ? frameRangeRow.vornObject.bFr : undefined
            onEdited: v => frameRangeRow.vornObject.bFr = v
        }
        BracketButton {
            objectName: "outBracketButton"
            text: "]"
            toolTip: "Set Out Point (hold to reset)"
            enabled: frameRangeRow.ready
            atLimit: !frameRangeRow.ready || frameRangeRow.vornObject.bFr === frameRangeRow.lastFr
            onClicked: frameRangeRow.vornObject.bFr = frameRangeRow.vornObject.fr
            onResetChosen: frameRangeRow.vornObject.bFr = frameRangeRow.lastFr
        }
    }
}
