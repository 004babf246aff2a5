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
        height: Theme.headerHeight
        color: Theme.header

        Label {
            x: Theme.margin
            anchors.verticalCenter: parent.verticalCenter
            text: dialogSection.title
            font.bold: true
        }
    }

    Column {
        id: body
        width: dialogSection.width
        topPadding: Theme.spacing
        bottomPadding: Theme.margin - 2
        spacing: Theme.rowSpacing
    }
}
