pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import Vorn 1.0

// The batch "Save": saves every object of the batch list (all takes of a
// camera, all its SSD takes, or VORN files opened for the batch) with one
// set of choices, each with its own range. The last choices are the settings
// under "save_batch/". VORN files opened for the batch are closed by their
// saves, unless the save is repeated; when the dialog closes without a last
// save they are closed here.
ApplicationWindow {
    id: batchSaveDialog
    objectName: "batchSaveDialog"

    readonly property QQmlObjectListModelBase model: VornApp.saveBatchObjModel
    readonly property PlaybackVornObject firstSource: model.count > 0 && model.get(0) ? (model.get(0) as SaveBatchObject).source : null
    // A review's save: its members stay open, whatever their kind.
    property ReviewGroup reviewGroup: null
    readonly property int sourceType: reviewGroup ? reviewGroup.saveSourceType
                                                  : firstSource ? firstSource.type : VornObject.UnknownType
    // VORN files opened for this batch only.
    readonly property bool vornFiles: !reviewGroup && sourceType === VornObject.VornFileType
    readonly property Camera camera: firstSource && !vornFiles && !reviewGroup ? (firstSource as AbstractTake).camera : null
    // Set by a final save, whose jobs close the files themselves.
    property bool saved: false

    title: "Save"
    flags: Qt.Dialog
    modality: Qt.ApplicationModal
    width: 830
    height: 620
    minimumWidth: 830
    minimumHeight: 480

    SaveSettings {
        id: saveSettings
        prefix: "save_batch/"
        batch: true
        sourceType: batchSaveDialog.sourceType
    }

    Component.onCompleted: saveSettings.load()

    onClosing: VornApp.clearSaveBatchObjModel(vornFiles && !saved)

    function estimatedBytes() {
        let bytes = 0
        for (let i = 0; i < model.count; ++i) {
            const row = model.get(i)
            if (row && row.source)
                bytes += VornApp.saveManager.estFileSize(row.source, row.bFr - row.aFr + 1,
                                                         saveSettings.format, saveSettings.codec)
        }
        return bytes
    }

    function copyToAll(start, value) {
        for (let i = 0; i < model.count; ++i) {
            const row = model.get(i)
            if (start)
                row.aFr = value
            else
                row.bFr = value
        }
    }

    function save(repeat) {
        const deleteClose = vornFiles && !repeat ? SaveJob.ForceDeleteClose : SaveJob.DontDeleteClose
        VornApp.saveManager.createSaveJobBatch(model, saveSettings.dest, saveSettings.format, saveSettings.codec,
                                               saveSettings.frameRate, saveSettings.quality,
                                               saveSettings.fileName, saveSettings.folder, deleteClose,
                                               saveSettings.savedBurnInLines, saveSettings.burnInCorner)
        saveSettings.store()
        if (repeat)
            return
        saved = true
        batchSaveDialog.close()
        VornApp.setNullVornObject(VornApp.SaveProgress)
    }

    Pane {
        anchors.fill: parent
        padding: 10

        Item {
            id: header
            width: parent.width
            height: 24
            Label { x: 8; anchors.verticalCenter: parent.verticalCenter; text: "Source"; font.bold: true }
            Label { x: 176; anchors.verticalCenter: parent.verticalCenter; text: "Start Frame"; font.bold: true }
            Label { x: 420; anchors.verticalCenter: parent.verticalCenter; text: "End Frame"; font.bold: true }
        }

        Rectangle {
            id: listFrame
            anchors.top: header.bottom
            anchors.bottom: options.top
            anchors.bottomMargin: 8
            width: parent.width
            color: Theme.palette.base
            border.color: Theme.separator

            ListView {
                id: rowList
                objectName: "batchRowList"
                anchors.fill: parent
                anchors.margins: 1
                clip: true
                model: batchSaveDialog.model
                ScrollBar.vertical: ScrollBar {}
                delegate: BatchSaveRow {
                    width: rowList.width
                    onCopyToAll: (start, value) => batchSaveDialog.copyToAll(start, value)
                    onRemoveRequested: VornApp.removeSaveBatchObject(qtObject, batchSaveDialog.vornFiles)
                }
            }
        }

        Row {
            id: options
            anchors.bottom: buttons.top
            anchors.bottomMargin: 8
            spacing: 10

            SaveDestinationPane {
                neededBytes: formatPane.estimatedBytes
                width: 400
                settings: saveSettings
                camera: batchSaveDialog.camera
            }
            SaveFormatPane {
                id: formatPane
                width: 400
                settings: saveSettings
                // (the sum reads every row's range, so it follows their edits)
                estimatedBytes: batchSaveDialog.estimatedBytes()
            }
        }

        SaveButtons {
            id: buttons
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            canSave: batchSaveDialog.model.count > 0
            onSaveRequested: repeat => batchSaveDialog.save(repeat)
            onCancelRequested: batchSaveDialog.close()
        }
    }
}
