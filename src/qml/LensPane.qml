import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vorn 1.0
import "Format.js" as Format

// "Lens & Shutter": the mounted lens, its focus and f-stop, and the shutter.
CollapsiblePane {
    id: lensPane
    objectName: "lensPane"
    title: "Lens & Shutter"

    required property var camera

    readonly property int lensState: Format.val(camera.lensState, Camera.LensRemoved)
    readonly property bool lensReady: lensState === Camera.LensReady
    readonly property int features: Format.val(camera.featureLens, 0)
    readonly property bool canFocus: (features & Camera.LensFeatFocus) !== 0 && lensReady
                                     && Format.val(camera.lensAFSwitch, 0) === 0
    readonly property int shutterState: Format.val(camera.shtrState, Camera.ShtrOpen)
    readonly property bool shutterClosed: shutterState === Camera.ShtrClosed || shutterState === Camera.ShtrFail

    // What the camera does not report (0 or empty) shows as a dash.
    function reported(text) {
        return text !== "" ? text : "\u2014"
    }

    ValueRow { objectName: "lensMountRow"; label: "Mount"; value: lensPane.reported(Format.val(lensPane.camera.lensMount, "")) }
    ValueRow {
        objectName: "lensNameRow"
        label: "Name"
        value: {
            switch (lensPane.lensState) {
            case Camera.LensDetect: return "Detecting"
            case Camera.LensEnable: return "Initializing"
            case Camera.LensReady: return lensPane.reported(Format.val(lensPane.camera.lensName, ""))
            case Camera.LensFail: return "Error"
            }
            return "\u2014"
        }
    }
    ValueRow {
        objectName: "focalLengthRow"
        label: "Focal Length"
        value: {
            const f = Number(Format.val(lensPane.camera.lensFocalLen, 0))
            return f > 0 ? f + " mm" : "\u2014"
        }
    }
    ValueRow {
        objectName: "focusDistanceRow"
        label: "Focus Distance"
        value: {
            const d = Number(Format.val(lensPane.camera.lensFocusDist, 0))
            if (d === 0)
                return "\u2014"
            if (d === 65535)
                return "\u221E"
            return Math.round(d * 100) / 100 + " m"
        }
    }
    ValueRow {
        objectName: "focusRow"
        label: "Focus"
        Label {
            objectName: "focusManualText"
            visible: !lensPane.canFocus
            height: 26
            verticalAlignment: Text.AlignVCenter
            text: "Manual"
        }
        Grid {
            visible: lensPane.canFocus
            columns: 4
            spacing: 2
            Repeater {
                model: [{ t: "+1", s: 1 }, { t: "+10", s: 10 }, { t: "+100", s: 100 }, { t: "\u221E", s: 32767 },
                        { t: "-1", s: -1 }, { t: "-10", s: -10 }, { t: "-100", s: -100 }, { t: "0", s: 0 }]
                VornButton {
                    objectName: "focusStep" + modelData.s
                    width: 33
                    height: 24
                    padding: 0
                    text: modelData.t
                    onClicked: lensPane.camera.lensFocus(modelData.s)
                }
            }
        }
    }
    ValueRow {
        label: "F-stop"
        visible: (lensPane.features & Camera.LensFeatFstop) !== 0 && lensPane.lensReady
        ValueComboBox {
            objectName: "fstopCombo"
            list: lensPane.camera.fstopList
            listIndex: lensPane.camera.fstopIndex
            onChosen: (index, text) => lensPane.camera.lensFstop.value = Number(text)
        }
    }
    VornButton {
        objectName: "shutterButton"
        x: 4
        width: 260
        text: lensPane.shutterClosed ? "Open Shutter" : "Close Shutter"
        enabled: (Format.val(lensPane.camera.featureShtr, 0) & Camera.ShtrFeatHasShtr) !== 0
        onClicked: lensPane.camera.shutterMove(lensPane.shutterClosed ? 0 : 1)
    }
}
