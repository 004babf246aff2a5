import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vorn 1.0
import "Format.js" as Format
import "Glyphs.js" as Glyphs
import "SaveProgressColumns.js" as SaveProgressColumns

// One save job in the save progress view: where it goes, its name and (for
// a file) its path, its state, progress and time left, or its whole error,
// its source, and buttons that open the output, show its folder, and cancel
// the job while it runs or else take it off the list.
Rectangle {
    id: saveJobRow
    objectName: "saveJobRow"

    required property SaveJob qtObject
    required property int index

    readonly property SaveJob job: qtObject
    readonly property int jobState: job ? job.state : SaveJob.Queued
    readonly property bool running: jobState === SaveJob.Saving || jobState === SaveJob.QueuedFW
    readonly property bool toSsd: !!job && job.dest === SaveJob.SsdDest
    // An image sequence opens as its folder.
    readonly property bool imageSequence: !!job && (job.format === Util.FormatTiff || job.format === Util.FormatDng)
    readonly property string openedPath: !job ? "" : imageSequence ? job.outputFolder : job.outputPath

    implicitHeight: columns.implicitHeight + 8
    height: implicitHeight
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

    function open() {
        if (!job.open())
            VornApp.showMessage("<b>The saved " + (saveJobRow.imageSequence ? "images" : "file")
                                + " could not be opened:</b><br>no program on this computer opens "
                                + (saveJobRow.imageSequence ? "their folder" : "it") + ".<br><br>"
                                + Format.html(openedPath))
    }

    function showFolder() {
        if (!job.showFolder())
            VornApp.showMessage("<b>The folder could not be shown:</b><br>no program on this computer shows it."
                                + "<br><br>" + Format.html(job.outputFolder))
    }

    component Cell: Label {
        Layout.alignment: Qt.AlignTop
        Layout.topMargin: 4
        textFormat: Text.PlainText
        elide: Text.ElideRight
    }

    component RowButton: ToolButton {
        property string tip
        width: 28
        height: 26
        padding: 0
        font.family: "remixicon"
        font.pixelSize: 16
        ToolTip.visible: hovered
        ToolTip.text: tip
        ToolTip.delay: 500
    }

    RowLayout {
        id: columns
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        anchors.leftMargin: 8
        anchors.rightMargin: 4
        anchors.topMargin: 4
        spacing: SaveProgressColumns.spacing

        Cell {
            objectName: "jobDestText"
            Layout.preferredWidth: SaveProgressColumns.dest
            Layout.minimumWidth: SaveProgressColumns.dest
            text: saveJobRow.toSsd ? "SSD" : "File"
        }
        ColumnLayout {
            Layout.fillWidth: true
            Layout.minimumWidth: SaveProgressColumns.nameMinimum
            Layout.alignment: Qt.AlignTop
            spacing: 0
            Cell {
                objectName: "jobNameText"
                Layout.fillWidth: true
                text: saveJobRow.job ? saveJobRow.job.fileName + "." + saveJobRow.job.fileExt : ""
                elide: Text.ElideMiddle
            }
            Label {
                id: pathText
                objectName: "jobPathText"
                Layout.fillWidth: true
                visible: text !== ""
                text: saveJobRow.job ? saveJobRow.job.outputPath : ""
                textFormat: Text.PlainText
                elide: Text.ElideMiddle
                font.pixelSize: 11
                color: Theme.faintText
                TextToolTip {
                    visible: pathArea.containsMouse && pathText.truncated
                    text: pathText.text
                }
                MouseArea {
                    id: pathArea
                    anchors.fill: parent
                    hoverEnabled: true
                    acceptedButtons: Qt.NoButton
                }
            }
        }
        ColumnLayout {
            Layout.preferredWidth: SaveProgressColumns.status
            Layout.minimumWidth: SaveProgressColumns.status
            Layout.maximumWidth: SaveProgressColumns.status
            Layout.alignment: Qt.AlignTop
            spacing: 0
            Cell {
                objectName: "jobStatusText"
                Layout.fillWidth: true
                visible: saveJobRow.jobState !== SaveJob.Saving
                // An error may be the camera's own text; it is shown whole.
                text: saveJobRow.statusText()
                wrapMode: Text.Wrap
                elide: Text.ElideNone
                color: saveJobRow.jobState === SaveJob.Error ? Theme.errorText : Theme.palette.windowText
            }
            RowLayout {
                Layout.fillWidth: true
                Layout.topMargin: 4
                visible: saveJobRow.jobState === SaveJob.Saving
                spacing: 6
                ProgressBar {
                    objectName: "jobProgressBar"
                    Layout.fillWidth: true
                    from: 0
                    to: 100
                    value: saveJobRow.job ? saveJobRow.job.progress : 0
                }
                Label {
                    objectName: "jobPercentText"
                    Layout.preferredWidth: implicitWidth
                    horizontalAlignment: Text.AlignRight
                    text: Math.floor(saveJobRow.job ? saveJobRow.job.progress : 0) + "%"
                }
            }
            Label {
                objectName: "jobTimeLeftText"
                visible: saveJobRow.jobState === SaveJob.Saving && !!saveJobRow.job && saveJobRow.job.secondsLeft >= 0
                text: visible ? SaveProgressColumns.timeLeft(saveJobRow.job.secondsLeft) : ""
                font.pixelSize: 11
                color: Theme.faintText
            }
        }
        Cell {
            objectName: "jobCameraText"
            Layout.preferredWidth: SaveProgressColumns.camera
            Layout.minimumWidth: SaveProgressColumns.camera
            text: saveJobRow.job ? saveJobRow.job.sourceCameraName : ""
        }
        Cell {
            objectName: "jobSourceText"
            Layout.preferredWidth: SaveProgressColumns.source
            Layout.minimumWidth: SaveProgressColumns.source
            text: saveJobRow.sourceText()
            elide: Text.ElideMiddle
        }
        Row {
            Layout.preferredWidth: SaveProgressColumns.buttons
            Layout.minimumWidth: SaveProgressColumns.buttons
            Layout.alignment: Qt.AlignTop
            layoutDirection: Qt.RightToLeft
            spacing: 4
            RowButton {
                objectName: "jobCloseButton"
                text: Glyphs.closeLargeFill
                // The camera writes an SSD save it took to its end: cancelling
                // only stops waiting for it, so the camera's next save can go.
                tip: !saveJobRow.running ? "Remove"
                     : saveJobRow.toSsd ? "Stop waiting (the camera still writes it)" : "Cancel"
                onClicked: {
                    if (saveJobRow.running)
                        saveJobRow.job.cancel()
                    else
                        VornApp.saveManager.removeSaveJob(saveJobRow.job)
                }
            }
            RowButton {
                objectName: "jobFolderButton"
                visible: !saveJobRow.toSsd
                text: Glyphs.folderOpenLine
                tip: "Show Folder"
                onClicked: saveJobRow.showFolder()
            }
            RowButton {
                objectName: "jobOpenButton"
                visible: saveJobRow.jobState === SaveJob.Done && !!saveJobRow.job && saveJobRow.job.fileName !== ""
                text: Glyphs.playFill
                tip: "Open"
                onClicked: saveJobRow.open()
            }
        }
    }
}
