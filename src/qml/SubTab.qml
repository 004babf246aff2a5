import QtQuick
import QtQuick.Controls

// A 28-pixel tab under its camera's tab: a take in camera memory or on the SSD.
TabFrame {
    id: tab

    property alias glyph: glyph.text
    property alias glyphColor: glyph.color
    property alias text: label.text

    height: Theme.subTabHeight

    Glyph {
        id: glyph
        anchors.left: parent.left
        anchors.leftMargin: 10
        anchors.verticalCenter: parent.verticalCenter
        font.pixelSize: 14
    }

    Label {
        id: label
        anchors.left: glyph.right
        anchors.leftMargin: 8
        anchors.right: parent.right
        anchors.rightMargin: 8
        anchors.verticalCenter: parent.verticalCenter
        elide: Text.ElideRight
        textFormat: Text.PlainText // an SSD take's file name, as the camera gave it
    }
}
