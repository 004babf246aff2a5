import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vorn 1.0
import "Glyphs.js" as Glyphs
import "SaveProgressColumns.js" as SaveProgressColumns

// One save job in the save progress view: where it goes, its name, its
// state or progress, its source, a play button once its output exists and a
// close button that cancels it while it runs and else takes it off the list.
Rectangle {
    id: saveJobRow
    objectName: "saveJobRow"

    required property SaveJob qtObject
    required property int index

    readonly property SaveJob job: qtObject
    readonly property int jobState: job ? job.state : SaveJob.Queued
    readonly property bool running: jobState === SaveJob.Saving || jobState === SaveJob.QueuedFW
    readonly property bool toSsd: !!job && job.dest === SaveJob.SsdDest

    height: 32
    color: index % 2 ? Theme.alternateRow : Theme.palette.base

    function statusText() {
        switch (jobState) {
        case SaveJob.Queued:
        case SaveJob.QueuedFW:
            return "Queued"
        case SaveJob.Done:
            return "Complete"
        case SaveJob.Cancelled:
            return "Cancelled"
        case SaveJob.Error:
            return "Error: " + job.error
        default:
            return ""
        }
    }

    function sourceText() {
        if (!job)
            return ""
        if (job.sourceType === SaveJob.TakeSourceType)
            return "Take " + job.sourceTakeId
        if (job.sourceType === SaveJob.SsdTakeSourceType)
            return job.sourceFileName
        return VornApp.fileNameFromPath(job.sourceFileName)
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 8
        anchors.rightMargin: 4
        spacing: 8

        Label {
            objectName: "jobDestText"
            Layout.preferredWidth: SaveProgressColumns.dest
            text: saveJobRow.toSsd ? "SSD" : "File"
        }
        Label {
            objectName: "jobNameText"
            Layout.fillWidth: true
            text: saveJobRow.job ? saveJobRow.job.fileName + "." + saveJobRow.job.fileExt : ""
            textFormat: Text.PlainText
            elide: Text.ElideMiddle
        }
        Item {
            Layout.preferredWidth: SaveProgressColumns.status
            Layout.fillHeight: true
            Label {
                id: statusLabel
                objectName: "jobStatusText"
                anchors.left: parent.left
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                visible: saveJobRow.jobState !== SaveJob.Saving
                // An error may be the camera's own text.
                text: saveJobRow.statusText()
                textFormat: Text.PlainText
                color: saveJobRow.jobState === SaveJob.Error ? Theme.errorText : Theme.palette.windowText
                elide: Text.ElideRight
                TextToolTip {
                    visible: statusArea.containsMouse && statusLabel.truncated
                    text: statusLabel.text
                }
                MouseArea {
                    id: statusArea
                    anchors.fill: parent
                    hoverEnabled: true
                    acceptedButtons: Qt.NoButton
                }
            }
            ProgressBar {
                objectName: "jobProgressBar"
                anchors.left: parent.left
                anchors.right: percentText.left
                anchors.rightMargin: 6
                anchors.verticalCenter: parent.verticalCenter
                visible: saveJobRow.jobState === SaveJob.Saving
                from: 0
                to: 100
                value: saveJobRow.job ? saveJobRow.job.progress : 0
            }
            Label {
                id: percentText
                objectName: "jobPercentText"
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                width: 40
                horizontalAlignment: Text.AlignRight
                visible: saveJobRow.jobState === SaveJob.Saving
                text: Math.floor(saveJobRow.job ? saveJobRow.job.progress : 0) + "%"
            }
        }
        Label {
            objectName: "jobCameraText"
            Layout.preferredWidth: SaveProgressColumns.camera
            text: saveJobRow.job ? saveJobRow.job.sourceCameraName : ""
            textFormat: Text.PlainText
            elide: Text.ElideRight
        }
        Label {
            objectName: "jobSourceText"
            Layout.preferredWidth: SaveProgressColumns.source
            text: saveJobRow.sourceText()
            textFormat: Text.PlainText
            elide: Text.ElideMiddle
        }
        Item {
            Layout.preferredWidth: SaveProgressColumns.buttons
            Layout.fillHeight: true
            ToolButton {
                objectName: "jobOpenButton"
                anchors.left: parent.left
                anchors.verticalCenter: parent.verticalCenter
                width: 28
                height: 26
                padding: 0
                visible: saveJobRow.jobState === SaveJob.Done && !!saveJobRow.job && saveJobRow.job.fileName !== ""
                font.family: "remixicon"
                font.pixelSize: 16
                text: Glyphs.playFill
                ToolTip.visible: hovered
                ToolTip.text: "Open"
                ToolTip.delay: 500
                onClicked: saveJobRow.job.open()
            }
            ToolButton {
                objectName: "jobCloseButton"
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                width: 28
                height: 26
                padding: 0
                font.family: "remixicon"
                font.pixelSize: 16
                text: Glyphs.closeLargeFill
                ToolTip.visible: hovered
                // The camera writes an SSD save it took to its end: cancelling
                // only stops waiting for it, so the camera's next save can go.
                ToolTip.text: !saveJobRow.running ? "Remove"
                              : saveJobRow.toSsd ? "Stop waiting (the camera still writes it)" : "Cancel"
                ToolTip.delay: 500
                onClicked: {
                    if (saveJobRow.running)
                        saveJobRow.job.cancel()
                    else
                        VornApp.saveManager.removeSaveJob(saveJobRow.job)
                }
            }
        }
    }
}
