import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Format.js" as Format
import "Glyphs.js" as Glyphs

// One object of a batch save: its name, the first and last frame to save
// (each with "Reset" to the recording's end and "Copy to All"), and a button
// that takes it out of the batch.
Rectangle {
    id: batchSaveRow
    objectName: "batchSaveRow"

    required property var qtObject
    required property int index

    readonly property var source: qtObject ? qtObject.source : null
    readonly property real firstFr: Format.val(source ? source.firstFr : null, 0)
    readonly property real lastFr: Format.val(source ? source.lastFr : null, 0)

    signal copyToAll(bool start, real value)
    signal removeRequested()

    height: 32
    color: index % 2 ? Theme.alternateRow : Theme.palette.base

    function sourceText() {
        if (!source)
            return ""
        if (source.type === VornObject.TakeType)
            return "Take " + source.takeId
        if (source.type === VornObject.SsdTakeType)
            return source.name
        return vornApp.fileNameFromPath(source.fileName)
    }

    component FrameColumn: Row {
        id: frameColumn
        property bool start: true
        readonly property real frame: batchSaveRow.qtObject ? (start ? batchSaveRow.qtObject.aFr : batchSaveRow.qtObject.bFr) : 0
        spacing: 4
        anchors.verticalCenter: parent.verticalCenter

        function write(v) {
            if (start)
                batchSaveRow.qtObject.aFr = v
            else
                batchSaveRow.qtObject.bFr = v
        }

        NumberField {
            objectName: frameColumn.start ? "startFrameField" : "endFrameField"
            width: 80
            minimum: -1e15
            maximum: 1e15
            value: frameColumn.frame
            onEdited: v => frameColumn.write(v)
        }
        VornButton {
            objectName: frameColumn.start ? "startResetButton" : "endResetButton"
            width: 56
            height: 26
            text: "Reset"
            onClicked: frameColumn.write(frameColumn.start ? batchSaveRow.firstFr : batchSaveRow.lastFr)
        }
        VornButton {
            objectName: frameColumn.start ? "startCopyButton" : "endCopyButton"
            width: 86
            height: 26
            text: "Copy to All"
            onClicked: batchSaveRow.copyToAll(frameColumn.start, frameColumn.frame)
        }
    }

    Label {
        objectName: "batchSourceText"
        x: 8
        width: 160
        anchors.verticalCenter: parent.verticalCenter
        text: batchSaveRow.sourceText()
        textFormat: Text.PlainText
        elide: Text.ElideMiddle
    }
    FrameColumn {
        x: 176
        start: true
    }
    FrameColumn {
        x: 420
        start: false
    }
    ToolButton {
        objectName: "batchRemoveButton"
        anchors.right: parent.right
        anchors.rightMargin: 4
        anchors.verticalCenter: parent.verticalCenter
        width: 28
        height: 26
        padding: 0
        font.family: "remixicon"
        font.pixelSize: 16
        text: Glyphs.closeLargeFill
        ToolTip.visible: hovered
        ToolTip.text: "Remove"
        ToolTip.delay: 500
        onClicked: batchSaveRow.removeRequested()
    }
}
