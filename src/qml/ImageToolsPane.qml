import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Glyphs.js" as Glyphs

// "Image Tools": mirroring and rotation of the picture, focus peaking,
// exposure assist and the histogram of the shown frame.
CollapsiblePane {
    id: imageToolsPane
    objectName: "imageToolsPane"
    title: "Image Tools"

    required property var vornObject
    readonly property var model: vornObject ? vornObject.imgAdjModel : null

    // A transform is on while its button is highlighted.
    component TransformButton: VornButton {
        width: 32
        height: Theme.rowHeight
        padding: 0
        font.family: Theme.iconFamily
        font.pixelSize: Theme.iconSize
        highlighted: checkedState
        property bool checkedState: false
    }

    ValueRow {
        label: "Transform"
        Row {
            spacing: Theme.spacing
            TransformButton {
                objectName: "flipHButton"
                text: Glyphs.flipHorizontalLine
                checkedState: !!imageToolsPane.model && imageToolsPane.model.flipH === true
                onClicked: imageToolsPane.model.flipH = !checkedState
                ToolTip.visible: hovered
                ToolTip.text: "Flip horizontally"
            }
            TransformButton {
                objectName: "flipVButton"
                text: Glyphs.flipVerticalLine
                checkedState: !!imageToolsPane.model && imageToolsPane.model.flipV === true
                onClicked: imageToolsPane.model.flipV = !checkedState
                ToolTip.visible: hovered
                ToolTip.text: "Flip vertically"
            }
            TransformButton {
                objectName: "rotateCwButton"
                text: Glyphs.clockwiseLine
                checkedState: !!imageToolsPane.model && imageToolsPane.model.rotate === 90
                onClicked: imageToolsPane.model.rotate = checkedState ? 0 : 90
                ToolTip.visible: hovered
                ToolTip.text: "Rotate clockwise"
            }
            TransformButton {
                objectName: "rotateCcwButton"
                text: Glyphs.anticlockwiseLine
                checkedState: !!imageToolsPane.model && imageToolsPane.model.rotate === 270
                onClicked: imageToolsPane.model.rotate = checkedState ? 0 : 270
                ToolTip.visible: hovered
                ToolTip.text: "Rotate anticlockwise"
            }
        }
    }
    ValueRow {
        label: "Focus Peaking"
        ValueComboBox {
            objectName: "focusPeakCombo"
            list: ["Disabled", "Low", "Medium", "High"]
            listIndex: imageToolsPane.model ? imageToolsPane.model.focusPeak : -1
            onChosen: (index, text) => imageToolsPane.model.focusPeak = index
        }
    }
    ValueRow {
        label: "Exposure Assist"
        ValueComboBox {
            objectName: "expAssistCombo"
            list: ["Disabled", "Enabled"]
            listIndex: imageToolsPane.model ? imageToolsPane.model.expAssist : -1
            onChosen: (index, text) => imageToolsPane.model.expAssist = index
        }
    }
    ValueRow {
        label: "Histogram"
        HistogramControl {
            objectName: "histogramView"
            width: 128
            height: 64
            histogram: imageToolsPane.vornObject ? (imageToolsPane.vornObject.histogram || null) : null
            Rectangle {
                anchors.fill: parent
                color: "transparent"
                border.color: Theme.separator
            }
        }
    }
}
