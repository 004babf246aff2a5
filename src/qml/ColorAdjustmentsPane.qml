import QtQuick
import QtQuick.Controls
import "Format.js" as Format

// "Color Adjustments": the white-balance gains of a colour sensor, set by
// hand or measured on the current frame.
CollapsiblePane {
    id: colorAdjustmentsPane
    objectName: "colorAdjustmentsPane"
    title: "Color Adjustments"

    required property var vornObject
    readonly property var model: vornObject ? vornObject.imgAdjModel : null

    Label {
        x: Theme.rowMargin
        text: "White Balance"
        color: Theme.secondaryText
    }
    ValueRow {
        label: "Red"
        SliderField {
            objectName: "wbRedSlider"
            logarithmic: true
            value: Format.val(colorAdjustmentsPane.model ? colorAdjustmentsPane.model.wbR : null, 1)
            onEdited: v => colorAdjustmentsPane.model.wbR.value = v
        }
    }
    ValueRow {
        label: "Green"
        SliderField {
            objectName: "wbGreenSlider"
            logarithmic: true
            value: Format.val(colorAdjustmentsPane.model ? colorAdjustmentsPane.model.wbG : null, 1)
            onEdited: v => colorAdjustmentsPane.model.wbG.value = v
        }
    }
    ValueRow {
        label: "Blue"
        SliderField {
            objectName: "wbBlueSlider"
            logarithmic: true
            value: Format.val(colorAdjustmentsPane.model ? colorAdjustmentsPane.model.wbB : null, 1)
            onEdited: v => colorAdjustmentsPane.model.wbB.value = v
        }
    }
    ValueRow {
        label: ""
        VornButton {
            objectName: "autoWhiteBalanceButton"
            width: Theme.valueWidth
            height: Theme.rowHeight
            text: "Auto White Balance"
            enabled: !!colorAdjustmentsPane.vornObject
            onClicked: colorAdjustmentsPane.vornObject.autoWhiteBalance()
        }
    }
}
