import QtQuick
import QtQuick.Controls
import Vorn 1.0

// "Image Tools": mirroring and rotation of the picture, focus peaking,
// exposure assist and the histogram of the shown frame.
CollapsiblePane {
    id: imageToolsPane
    objectName: "imageToolsPane"
    title: "Image Tools"

    required property VornObject vornObject
    readonly property ImgAdjModel model: vornObject ? vornObject.imgAdjModel : null

    component TransformButton: Button {
        width: 32
        height: 26
        padding: 0
        font.pixelSize: 15
        highlighted: checkedState
        property bool checkedState: false
    }

    ValueRow {
        label: "Transform"
        Row {
            spacing: 4
            TransformButton {
                objectName: "flipHButton"
                text: "\u2194"
                checkedState: !!imageToolsPane.model && imageToolsPane.model.flipH === true
                onClicked: imageToolsPane.model.flipH = !checkedState
                ToolTip.visible: hovered
                ToolTip.text: "Flip horizontally"
            }
            TransformButton {
                objectName: "flipVButton"
                text: "\u2195"
                checkedState: !!imageToolsPane.model && imageToolsPane.model.flipV === true
                onClicked: imageToolsPane.model.flipV = !checkedState
                ToolTip.visible: hovered
                ToolTip.text: "Flip vertically"
            }
            TransformButton {
                objectName: "rotateCwButton"
                text: "\u21BB"
                checkedState: !!imageToolsPane.model && imageToolsPane.model.rotate === 90
                onClicked: imageToolsPane.model.rotate = checkedState ? 0 : 90
                ToolTip.visible: hovered
                ToolTip.text: "Rotate clockwise"
            }
            TransformButton {
                objectName: "rotateCcwButton"
                text: "\u21BA"
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
                border.color: "#444444"
            }
        }
    }
}
