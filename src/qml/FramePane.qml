import QtQuick
import QtQuick.Controls
import Vorn 1.0

// The picture of a selectable object: its frame view with the probed pixel
// and the time stamp (the histogram is in the Image Tools pane); scroll bars while the picture is larger than the view, and a context menu
// of zoom commands.
Rectangle {
    id: pane
    property var vornObject: null
    // Views send it the keys it handles (zoom) before their own.
    readonly property alias frameView: frameView
    readonly property var imgFrame: vornObject ? (vornObject.imgFrame || null) : null
    color: Theme.picture

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
        onRightClicked: frameMenu.popup()
    }

    ScrollBar {
        id: hBar
        objectName: "frameHScrollBar"
        orientation: Qt.Horizontal
        policy: ScrollBar.AlwaysOn
        x: frameView.paintedRect.x
        y: frameView.paintedRect.y + frameView.paintedRect.height - height
        width: frameView.paintedRect.width
        visible: !!pane.imgFrame && pane.imgFrame.maxPanX > 0 && (pane.imgFrame.panZoomActive || hovered || pressed)
        size: pane.imgFrame ? 1 - pane.imgFrame.maxPanX : 1
        position: pane.imgFrame ? pane.imgFrame.panX : 0
        onPositionChanged: if (pressed && pane.imgFrame) pane.imgFrame.panX = position
    }
    ScrollBar {
        id: vBar
        objectName: "frameVScrollBar"
        orientation: Qt.Vertical
        policy: ScrollBar.AlwaysOn
        x: frameView.paintedRect.x + frameView.paintedRect.width - width
        y: frameView.paintedRect.y
        height: frameView.paintedRect.height
        visible: !!pane.imgFrame && pane.imgFrame.maxPanY > 0 && (pane.imgFrame.panZoomActive || hovered || pressed)
        size: pane.imgFrame ? 1 - pane.imgFrame.maxPanY : 1
        position: pane.imgFrame ? pane.imgFrame.panY : 0
        onPositionChanged: if (pressed && pane.imgFrame) pane.imgFrame.panY = position
    }

    Menu {
        id: frameMenu
        objectName: "frameMenu"
        MenuItem {
            text: "Zoom In"
            enabled: !!pane.imgFrame
            onTriggered: pane.imgFrame.zoomIn()
        }
        MenuItem {
            text: "Zoom Out"
            enabled: !!pane.imgFrame
            onTriggered: pane.imgFrame.zoomOut()
        }
        MenuItem {
            text: "Zoom to Fit"
            enabled: !!pane.imgFrame
            checkable: true
            checked: !!pane.imgFrame && pane.imgFrame.zoomFit
            onTriggered: pane.imgFrame.zoomFit = true
        }
        MenuItem {
            text: "Actual Size"
            enabled: !!pane.imgFrame
            onTriggered: {
                pane.imgFrame.zoomFit = false
                pane.imgFrame.zoomScale = 1
            }
        }
    }

    Column {
        anchors.left: parent.left
        anchors.bottom: parent.bottom
        anchors.margins: Theme.margin
        spacing: Theme.spacing

        Label {
            objectName: "timestamp"
            text: pane.vornObject ? (pane.vornObject.timestamp || "") : ""
            color: Theme.pictureText
            // legible on bright pictures too
            style: Text.Outline
            styleColor: Theme.pictureTextOutline
        }
        Label {
            objectName: "probe"
            visible: frameView.containsMouse && pane.vornObject && pane.vornObject.vornFrame
            color: Theme.pictureText
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
