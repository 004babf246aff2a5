import QtQuick
import QtQuick.Controls

// A titled block of rows in a dialog, drawn like the header of a pane.
Column {
    id: dialogSection

    property string title
    default property alias content: body.data

    width: 400
    spacing: 0

    Rectangle {
        width: dialogSection.width
        height: 26
        color: "#262626"

        Label {
            x: 8
            anchors.verticalCenter: parent.verticalCenter
            text: dialogSection.title
            font.bold: true
        }
    }

    Column {
        id: body
        width: dialogSection.width
        topPadding: 4
        bottomPadding: 6
        spacing: 3
    }
}
