import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Format.js" as Format

// "Image Search": how the search of the playback strip looks for the next
// frame that differs. Its settings hold still while a search runs.
CollapsiblePane {
    id: imageSearchPane
    objectName: "imageSearchPane"
    title: "Image Search"

    required property var vornObject
    readonly property var search: vornObject ? vornObject.imgSearch : null
    readonly property bool idle: !!search && search.state === ImgSearch.Idle

    ValueRow {
        label: "Reference Frame"
        enabled: imageSearchPane.idle
        ValueComboBox {
            objectName: "searchRefFrameCombo"
            list: ["Previous Frame", "Start Frame"]
            listIndex: imageSearchPane.search ? imageSearchPane.search.refFrame : -1
            onChosen: (index, text) => imageSearchPane.search.refFrame = index
        }
    }
    ValueRow {
        label: "Frame Step"
        enabled: imageSearchPane.idle
        NumberField {
            objectName: "searchStepField"
            minimum: 1
            maximum: Format.int32Max
            value: imageSearchPane.search ? imageSearchPane.search.step : 0
            onEdited: v => imageSearchPane.search.step = v
        }
    }
    ValueRow {
        label: "Threshold"
        enabled: imageSearchPane.idle
        SliderField {
            objectName: "searchThresholdSlider"
            minimum: 0.01
            maximum: 0.99
            value: imageSearchPane.search ? imageSearchPane.search.threshold : 0.5
            onEdited: v => imageSearchPane.search.threshold = v
        }
    }
}
