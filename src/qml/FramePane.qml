import QtQuick
import QtQuick.Controls
import Vorn 1.0

// The picture of a selectable object: its frame view with the probed pixel,
// the time stamp and the histogram.
Rectangle {
    id: pane
    property var vornObject: null
    color: "#000000"

    ImgFrameControl {
        id: frameView
        objectName: "frameView"
        anchors.fill: parent
        imgFrame: pane.vornObject ? (pane.vornObject.imgFrame || null) : null
        focus: true
        onMouseXYChanged: {
            if (pane.vornObject && pane.vornObject.vornFrame)
                pane.vornObject.vornFrame.rgbPoint = Qt.point(mouseX, mouseY)
        }
        Component.onCompleted: if (imgFrame) imgFrame.zoomFit = true
    }

    Column {
        anchors.left: parent.left
        anchors.bottom: parent.bottom
        anchors.margins: 8
        spacing: 4

        HistogramControl {
            objectName: "histogram"
            width: 128
            height: 64
            histogram: pane.vornObject ? (pane.vornObject.histogram || null) : null
        }
        Label {
            objectName: "timestamp"
            text: pane.vornObject ? (pane.vornObject.timestamp || "") : ""
            color: "#ffffff"
        }
        Label {
            objectName: "probe"
            visible: frameView.containsMouse && pane.vornObject && pane.vornObject.vornFrame
            color: "#ffffff"
            text: {
                if (!visible)
                    return ""
                const f = pane.vornObject.vornFrame
                const u = vornApp.imgAdjUtil
                return "x " + frameView.mouseX + "  y " + frameView.mouseY + "   R " + u.pix16bTo9b(f.r)
                        + "  G " + u.pix16bTo9b(f.g) + "  B " + u.pix16bTo9b(f.b)
            }
        }
    }
}
