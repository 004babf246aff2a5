import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Glyphs.js" as Glyphs

// Takes the place of the frame numbers while an image search runs: the frame
// it examines, and a button that stops it.
Item {
    id: searchProgressRow

    required property ImgSearch search

    height: 30

    Row {
        anchors.centerIn: parent
        spacing: 8

        Label {
            objectName: "searchProgressLabel"
            anchors.verticalCenter: parent.verticalCenter
            text: "Searching frame: " + (searchProgressRow.search ? searchProgressRow.search.fr : "")
        }
        StripButton {
            objectName: "cancelSearchButton"
            anchors.verticalCenter: parent.verticalCenter
            text: Glyphs.closeLargeFill
            toolTip: "Cancel Search"
            onClicked: searchProgressRow.search.cancel()
        }
    }
}
