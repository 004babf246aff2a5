import QtQuick
import QtQuick.Controls

// A tool tip for a text from a camera or a file: shown as it is, never read
// as markup (the attached ToolTip guesses, and would render tags).
ToolTip {
    id: textToolTip

    contentItem: Text {
        text: textToolTip.text
        textFormat: Text.PlainText
        font: textToolTip.font
        wrapMode: Text.Wrap
        color: textToolTip.palette.toolTipText
    }
}
