import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Format.js" as Format

// "Image Adjustments": offset, gain, gamma and contrast of one colour
// channel or of all of them. The plain values are green (the only channel
// of a monochrome sensor); the R and B values red and blue.
CollapsiblePane {
    id: imageAdjustmentsPane
    objectName: "imageAdjustmentsPane"
    title: "Image Adjustments"

    required property var vornObject
    readonly property var model: vornObject ? vornObject.imgAdjModel : null
    readonly property bool colour: !!model && Format.val(model.cfa, 0) !== 0

    // 0 all channels ("RGB", or "Monochrome"), 1 red, 2 green, 3 blue.
    property int channel: 0
    onColourChanged: if (!colour) channel = 0

    // The value a slider shows: red for "Red", blue for "Blue", else the plain one.
    function shown(name) {
        if (!model)
            return 0
        const v = channel === 1 ? model[name + "R"] : channel === 3 ? model[name + "B"] : model[name]
        return Format.val(v, 0)
    }

    function write(name, value) {
        if (!model)
            return
        if (channel === 0 || channel === 1)
            model[name + "R"].value = value
        if (channel === 0 || channel === 2)
            model[name].value = value
        if (channel === 0 || channel === 3)
            model[name + "B"].value = value
    }

    function resetChannels() {
        const colors = [Util.R | Util.G | Util.B, Util.R, Util.G, Util.B][channel]
        model.reset(colors)
    }

    ValueRow {
        label: "Channel"
        ValueComboBox {
            objectName: "channelCombo"
            list: imageAdjustmentsPane.colour ? ["RGB", "Red", "Green", "Blue"] : ["Monochrome"]
            listIndex: imageAdjustmentsPane.channel
            enabled: imageAdjustmentsPane.colour
            onChosen: (index, text) => imageAdjustmentsPane.channel = index
        }
    }
    ValueRow {
        label: "Offset"
        SliderField {
            objectName: "offsetSlider"
            minimum: -1
            maximum: 1
            value: imageAdjustmentsPane.shown("offset")
            onEdited: v => imageAdjustmentsPane.write("offset", v)
        }
    }
    ValueRow {
        label: "Gain"
        SliderField {
            objectName: "gainSlider"
            logarithmic: true
            value: imageAdjustmentsPane.shown("gain")
            onEdited: v => imageAdjustmentsPane.write("gain", v)
        }
    }
    ValueRow {
        label: "Gamma"
        SliderField {
            objectName: "gammaSlider"
            logarithmic: true
            value: imageAdjustmentsPane.shown("gamma")
            onEdited: v => imageAdjustmentsPane.write("gamma", v)
        }
    }
    ValueRow {
        label: "Contrast"
        SliderField {
            objectName: "contrastSlider"
            minimum: -1
            maximum: 1
            value: imageAdjustmentsPane.shown("contrast")
            onEdited: v => imageAdjustmentsPane.write("contrast", v)
        }
    }
    ValueRow {
        label: ""
        VornButton {
            objectName: "resetAdjustmentsButton"
            width: 140
            height: 26
            text: "Reset"
            enabled: !!imageAdjustmentsPane.model
            onClicked: imageAdjustmentsPane.resetChannels()
        }
    }
}
