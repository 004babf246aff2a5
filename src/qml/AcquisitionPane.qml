import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Format.js" as Format
import "Glyphs.js" as Glyphs

// "Acquisition": state, resolution, frame rate, exposure, frame sync, low
// light, black reference and the record button. Each choice is written
// into the camera value that sends it; the camera's next report shows it.
CollapsiblePane {
    id: acquisitionPane
    objectName: "acquisitionPane"
    title: "Acquisition"

    required property Camera camera
    required property ShellActions dialogs

    readonly property int acqState: Format.val(camera.acqState, 0)
    // Stand-by or recording: the recording geometry may change.
    readonly property bool geometryUnlocked: acqState === Camera.AcqStandby || acqState === Camera.AcqRecording
                                           || acqState === Camera.AcqRecordingWrapped
    readonly property bool lowLight: Format.val(camera.lowLightMode, 0) > 0
    readonly property int fsyncMode: Format.val(camera.fsyncMode, 0)
    readonly property int brefState: Format.val(camera.brefState, 0)
    // The camera's black reference was taken for other settings.
    readonly property bool brefInvalid: (brefState & Camera.BrefInvalid) !== 0
    readonly property int corrMode: Format.val(camera.corrMode, 0)

    readonly property string stateText: {
        const takeSuffix = Format.val(camera.prtnCnt, 0) > 1 ? " " + Format.val(camera.activeTakeId, "") : ""
        switch (acqState) {
        case Camera.AcqStandby: return "STBY"
        case Camera.AcqRecording:
        case Camera.AcqRecordingWrapped: return "REC" + takeSuffix
        case Camera.AcqTriggered: return "TRIG" + takeSuffix
        }
        return ""
    }

    // A rate typed or chosen (fps) or an exposure (µs): the camera turns it
    // into clocks the one way its lists show them.
    function writeFrameRate(text) {
        camera.writeFrameRate(Format.parseNumber(text))
    }

    function writeExposure(text) {
        camera.writeExposure(Format.parseNumber(text))
    }

    function blackReference() {
        if (brefState & Camera.BrefFull)
            VornApp.showMessage("<b>No black reference slots remaining!</b><br>Delete saved takes to clear slots.")
        else
            camera.bref()
    }

    function recordButtonClicked() {
        switch (acqState) {
        case Camera.AcqStandby:
            if (camera.takesAvailable() > 0)
                camera.record()
            else
                VornApp.showMessage("<b>No take partitions remaining!</b><br>Delete takes to begin recording.")
            break
        case Camera.AcqRecording:
        case Camera.AcqRecordingWrapped:
            camera.trigger()
            break
        case Camera.AcqTriggered:
            camera.abort()
            break
        }
    }

    ValueRow {
        objectName: "stateRow"
        label: "State"
        value: acquisitionPane.stateText
        valueColor: acquisitionPane.acqState === Camera.AcqStandby ? Theme.good : Theme.alarm
    }
    ValueRow {
        label: "Resolution"
        ValueComboBox {
            objectName: "resolutionCombo"
            list: acquisitionPane.camera.resList
            listIndex: acquisitionPane.camera.resIndex
            enabled: acquisitionPane.geometryUnlocked
            onChosen: (index, text) => acquisitionPane.camera.res.value = text
        }
    }
    ValueRow {
        objectName: "frameRateRow"
        label: "Frame Rate"
        labelColor: Format.val(acquisitionPane.camera.fsyncState, 0) < 0 ? Theme.alarm : Theme.palette.windowText
        ValueComboBox {
            objectName: "frameRateCombo"
            list: acquisitionPane.camera.frRateList
            listIndex: acquisitionPane.camera.frRateListIndex
            editable: true
            units: "fps"
            validator: RegularExpressionValidator { regularExpression: /\d{0,12}(\.\d{0,6})?/ }
            enabled: !acquisitionPane.lowLight && acquisitionPane.fsyncMode !== Camera.FsyncModeExt
            onChosen: (index, text) => acquisitionPane.writeFrameRate(text)
        }
    }
    ValueRow {
        label: "Exposure Time"
        ValueComboBox {
            objectName: "exposureCombo"
            list: acquisitionPane.camera.expList
            listIndex: acquisitionPane.camera.expListIndex
            editable: true
            units: "\u00B5s"
            validator: RegularExpressionValidator { regularExpression: /\d{0,9}(\.\d{0,3})?/ }
            onChosen: (index, text) => acquisitionPane.writeExposure(text)
        }
    }
    ValueRow {
        label: "Frame Sync Mode"
        ValueComboBox {
            objectName: "frameSyncCombo"
            list: ["Internal", "External"]
            listIndex: acquisitionPane.fsyncMode
            enabled: !acquisitionPane.lowLight
            onChosen: (index, text) => acquisitionPane.camera.fsyncMode.value = index
        }
    }
    ValueRow {
        objectName: "lowLightRow"
        label: "Low Light Mode"
        visible: Format.val(acquisitionPane.camera.featureLowLight, 0) > 0
        labelColor: acquisitionPane.lowLight ? Theme.palette.highlight : Theme.palette.windowText
        ValueComboBox {
            objectName: "lowLightCombo"
            list: ["Disabled", "Enabled"]
            listIndex: acquisitionPane.lowLight ? 1 : 0
            onChosen: (index, text) => acquisitionPane.camera.lowLightMode.value = index
        }
    }
    ValueRow {
        objectName: "blackRefModeRow"
        label: "Black Ref Mode"
        visible: (Format.val(acquisitionPane.camera.featureCorrMode, 0) & Camera.CorrModeBrefAdv) !== 0
        ValueComboBox {
            objectName: "blackRefModeCombo"
            list: ["Normal", "Advanced"]
            listIndex: (acquisitionPane.corrMode & Camera.CorrModeBrefAdv) ? 1 : 0
            enabled: acquisitionPane.fsyncMode === Camera.FsyncModeInt
            onChosen: (index, text) => {
                const mode = acquisitionPane.corrMode
                acquisitionPane.camera.corrMode.value = index === 1 ? (mode | Camera.CorrModeBrefAdv)
                                                                    : (mode & ~Camera.CorrModeBrefAdv)
            }
        }
    }
    // A button's text and, after it with a space between, the warning sign.
    // (A component of its own: the style defers a button's content item, and
    // ids inside a deferred object would make it immediate.)
    component TextWithWarning: Item {
        id: textWithWarning
        property string text
        property font font
        property color color
        property bool warning: false
        implicitHeight: textLabel.implicitHeight
        Row {
            anchors.centerIn: parent
            spacing: Theme.spacing
            Label {
                id: textLabel
                anchors.verticalCenter: parent.verticalCenter
                text: textWithWarning.text
                font: textWithWarning.font
                color: textWithWarning.color
            }
            Glyph {
                objectName: "blackRefWarning"
                anchors.verticalCenter: parent.verticalCenter
                visible: textWithWarning.warning
                text: Glyphs.errorWarningFill
                color: Theme.warning
            }
        }
    }

    Row {
        x: Theme.rowMargin
        spacing: Theme.margin
        topPadding: Theme.spacing

        Item {
            width: 126
            height: blackRefButton.implicitHeight

            VornButton {
                id: blackRefButton
                objectName: "blackRefButton"
                anchors.fill: parent
                text: "Black Reference"
                enabled: acquisitionPane.geometryUnlocked && !(acquisitionPane.brefState & Camera.BrefInProgress)
                onClicked: acquisitionPane.blackReference()

                contentItem: TextWithWarning {
                    text: blackRefButton.text
                    font: blackRefButton.font
                    color: blackRefButton.palette.buttonText
                    warning: acquisitionPane.brefInvalid
                }
            }
            // Why the warning shows, over the whole button: a sibling, since
            // the button is disabled while triggered and would take no hover.
            Item {
                anchors.fill: parent
                enabled: acquisitionPane.brefInvalid
                HoverHandler { id: brefWarningHover }
                TextToolTip {
                    objectName: "blackRefWarningTip"
                    visible: brefWarningHover.hovered
                    text: "The black reference no longer matches the current settings\n"
                          + "(it was taken before a change such as a new resolution).\n"
                          + "Press Black Reference to take it again."
                }
            }
        }
        VornButton {
            objectName: "recordButton"
            width: 126
            text: acquisitionPane.acqState === Camera.AcqTriggered ? "Abort Recording"
                : acquisitionPane.acqState === Camera.AcqRecording
                  || acquisitionPane.acqState === Camera.AcqRecordingWrapped ? "Trigger" : "Record"
            enabled: acquisitionPane.geometryUnlocked || acquisitionPane.acqState === Camera.AcqTriggered
            highlighted: acquisitionPane.acqState !== Camera.AcqStandby && enabled
            onClicked: acquisitionPane.recordButtonClicked()
        }
    }
}
