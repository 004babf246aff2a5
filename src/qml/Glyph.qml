import QtQuick
import QtQuick.Controls

// One icon of the remixicon font, addressed by code point (see Glyphs.js). A
// Label, so that its colour comes from the style's palette.
Label {
    font.family: "remixicon"
    font.pixelSize: 16
    horizontalAlignment: Text.AlignHCenter
    verticalAlignment: Text.AlignVCenter
}
