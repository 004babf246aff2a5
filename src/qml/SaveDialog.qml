import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Format.js" as Format

// "Save": saves a range of frames of a take, an SSD take or a VORN file to a
// file or, for takes in camera memory, onto the camera's SSD. The last
// choices are the settings under "save/".
ApplicationWindow {
    id: saveDialog
    objectName: "saveDialog"

    required property PlaybackVornObject vornObject

    readonly property int sourceType: vornObject ? vornObject.type : VornObject.UnknownType
    readonly property Camera camera: vornObject && sourceType !== VornObject.VornFileType ? (vornObject as AbstractTake).camera : null

    title: "Save"
    flags: Qt.Dialog
    modality: Qt.ApplicationModal
    // Room for every row; rows a choice hides leave space above the buttons.
    width: 420
    height: 720
    minimumWidth: 420
    minimumHeight: 720

    SaveSettings {
        id: saveSettings
        prefix: "save/"
        sourceType: saveDialog.sourceType
    }

    Component.onCompleted: saveSettings.load()

    // The dialog goes with its object: a take deleted, an SSD take or a file closed.
    Connections {
        target: saveDialog.vornObject
        ignoreUnknownSignals: true
        function onDeletedClosed() { saveDialog.close() }
        function onClosed() { saveDialog.close() }
        function onDestroyed() { saveDialog.close() }
    }

    function save(repeat) {
        VornApp.saveManager.createSaveJob(vornObject, rangePane.startFr, rangePane.frCnt, saveSettings.dest,
                                          saveSettings.format, saveSettings.codec, saveSettings.frameRate,
                                          saveSettings.quality, saveSettings.fileName, saveSettings.folder,
                                          SaveJob.DontDeleteClose, saveSettings.savedBurnInLines,
                                          saveSettings.burnInCorner)
        saveSettings.store()
        if (repeat)
            return
        saveDialog.close()
        VornApp.setNullVornObject(VornApp.SaveProgress)
    }

    Pane {
        anchors.fill: parent
        padding: 10

        Column {
            id: content
            width: parent.width
            spacing: 8

            DialogSection {
                title: "Source"
                width: content.width
                ValueRow {
                    objectName: "sourceCameraRow"
                    label: saveDialog.camera ? "Camera:" : "VORN File:"
                    valueWidth: 260
                    value: saveDialog.camera ? String(Format.val(saveDialog.camera.name, ""))
                                             : saveDialog.vornObject ? VornApp.fileNameFromPath((saveDialog.vornObject as VornFile).fileName) : ""
                }
                ValueRow {
                    objectName: "sourceTakeRow"
                    visible: !!saveDialog.camera
                    label: saveDialog.sourceType === VornObject.SsdTakeType ? "SSD Take:" : "Take:"
                    valueWidth: 260
                    value: !saveDialog.camera ? ""
                           : saveDialog.sourceType === VornObject.SsdTakeType ? (saveDialog.vornObject as SsdTake).name
                           : String((saveDialog.vornObject as AbstractTake).takeId)
                }
            }
            SaveRangePane {
                id: rangePane
                width: content.width
                vornObject: saveDialog.vornObject
            }
            SaveDestinationPane {
                neededBytes: formatPane.estimatedBytes
                width: content.width
                settings: saveSettings
                camera: saveDialog.camera
            }
            SaveFormatPane {
                id: formatPane
                width: content.width
                settings: saveSettings
                estimatedBytes: saveDialog.vornObject
                                ? VornApp.saveManager.estFileSize(saveDialog.vornObject, rangePane.frCnt,
                                                                  saveSettings.format, saveSettings.codec)
                                : 0
            }
        }
        SaveButtons {
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            canSave: !!saveDialog.vornObject && saveDialog.vornObject.valuesInit && rangePane.frCnt > 0
            onSaveRequested: repeat => saveDialog.save(repeat)
            onCancelRequested: saveDialog.close()
        }
    }
}
