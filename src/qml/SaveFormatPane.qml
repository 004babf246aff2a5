pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import Vorn 1.0

// What a save writes: the format, its codec, the frame rate and quality of
// video files, the text burned into pictures, and the estimated size.
DialogSection {
    id: formatPane
    title: "Format"

    required property SaveSettings settings
    // Bytes the save will take (for formats that can say).
    property real estimatedBytes: 0

    readonly property int format: settings.format

    ValueRow {
        label: "Format:"
        valueWidth: 260
        ChoiceBox {
            objectName: "formatBox"
            choices: formatPane.settings.formatList
            value: formatPane.settings.format
            enabled: formatPane.settings.formatList.length > 1
            onChosen: v => formatPane.settings.format = v
        }
    }
    ValueRow {
        label: "Codec:"
        valueWidth: 260
        visible: SaveChoices.hasCodecChoice(formatPane.format)
        ChoiceBox {
            objectName: "codecBox"
            choices: formatPane.settings.codecList
            value: formatPane.settings.codec
            onChosen: v => formatPane.settings.codec = v
        }
    }
    ValueRow {
        label: "Frame Rate:"
        valueWidth: 260
        visible: SaveChoices.hasFrameRate(formatPane.format)
        FrameRateBox {
            objectName: "frameRate"
            value: formatPane.settings.frameRate
            onEdited: v => formatPane.settings.frameRate = v
        }
    }
    ValueRow {
        label: "Quality:"
        valueWidth: 260
        visible: SaveChoices.hasQuality(formatPane.format, formatPane.settings.codec)
        QualityField {
            objectName: "quality"
            worst: formatPane.settings.worstQuality
            value: formatPane.settings.quality
            onEdited: v => formatPane.settings.quality = v
        }
    }
    ValueRow {
        objectName: "burnInRow"
        label: "Burn-in:"
        valueWidth: 260
        visible: SaveChoices.hasBurnIn(formatPane.format)
        Flow {
            width: 260
            Repeater {
                model: SaveChoices.burnInLines()
                delegate: CheckBox {
                    required property var modelData
                    objectName: "burnIn" + modelData.text
                    text: modelData.text
                    padding: 2
                    checked: (formatPane.settings.burnInLines & modelData.value) !== 0
                    onToggled: formatPane.settings.burnInLines = checked
                               ? formatPane.settings.burnInLines | modelData.value
                               : formatPane.settings.burnInLines & ~modelData.value
                }
            }
        }
    }
    ValueRow {
        label: "Burn-in Corner:"
        valueWidth: 260
        visible: SaveChoices.hasBurnIn(formatPane.format)
        enabled: formatPane.settings.burnInLines !== 0
        ChoiceBox {
            objectName: "burnInCornerBox"
            choices: SaveChoices.burnInCorners()
            value: formatPane.settings.burnInCorner
            onChosen: v => formatPane.settings.burnInCorner = v
        }
    }
    ValueRow {
        objectName: "estFileSizeRow"
        label: "Est. File Size:"
        valueWidth: 260
        visible: SaveChoices.hasSizeEstimate(formatPane.format)
        value: VornApp.sizeText(formatPane.estimatedBytes)
    }
}
