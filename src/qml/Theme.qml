pragma Singleton
import QtQuick
import QtQuick.Controls

// The window's look in one place. Controls take their colours from the
// style's palette (qtquickcontrols2.conf), state by state: its Disabled group
// greys out a disabled control, text and frame alike, and the style draws
// hover, press, check and keyboard focus from the same roles. Items that are
// not controls (rectangles, markers, the picture's background) take the
// palette from here, together with the colours the palette has no role
// for, the measures of the control column and the fonts.
QtObject {
    id: theme

    // The style's palette as every control sees it; `palette.disabled`
    // holds the colours of disabled controls. (Items that are not controls
    // have a palette of their own that does not follow the style: they take
    // this one.)
    readonly property Palette palette: paletteSource.palette
    readonly property Control paletteSource: Control {}

    // Colours the palette has no role for.
    readonly property color picture: "#000000" // behind the frames
    readonly property color pictureText: "#ffffff" // time stamp and probe over the picture
    readonly property color pictureTextOutline: "#000000"
    readonly property color separator: "#444444" // lines between panes, picture and strip; tracks
    readonly property color header: "#262626" // pane headers, the strip, tabs
    readonly property color headerHovered: "#3a3a3a"
    readonly property color buttonHovered: "#4a4a4a" // a button, box or handle under the pointer
    readonly property color buttonPressed: "#1c1c1c" // ... and pressed
    readonly property color tabBorder: "#212121" // a tab that is not selected
    readonly property color alternateRow: "#202020" // every other row of a list on the base colour
    readonly property color secondaryText: "#a0a0a0" // units, captions, the fold arrows
    readonly property color faintText: "#808080" // what an empty list says
    readonly property color good: "#30d050" // stand-by
    readonly property color alarm: "#ff3030" // recording, errors of the camera
    readonly property color errorText: "#ff6060" // errors written out
    readonly property color warning: "#ffc000" // warning signs
    readonly property color marker: "#c0c0c0" // in and out markers of the scrubber
    readonly property color markerActive: "#ffffff" // a marker or handle under the pointer or dragged
    readonly property color markerDisabled: "#606060"
    readonly property real rangeOpacity: 0.5 // the in/out or pre-trigger range over a track
    readonly property color engraved: "#3a3a3a" // the sunken name of the About view
    readonly property color engravedShadow: "#0a0a0a"
    readonly property color notice: "#6e6e6e" // legal and credits lines
    // The keyboard focus mark of items the style does not draw.
    readonly property color focus: palette.highlight
    readonly property int focusWidth: 2

    // Measures of the control column: a label column, a value column and
    // their margins; rows and buttons one height.
    readonly property int labelWidth: 120
    readonly property int valueWidth: 140
    readonly property int rowMargin: 4
    readonly property int paneWidth: labelWidth + valueWidth + 2 * rowMargin
    readonly property int scrollBarRoom: 12
    readonly property int rowHeight: 26
    readonly property int headerHeight: 26
    readonly property int paneSpacing: 2
    readonly property int rowSpacing: 3
    readonly property int spacing: 4
    readonly property int margin: 8
    readonly property int separatorWidth: 1
    readonly property int fieldPadding: 4
    readonly property int unitsWidth: 28
    readonly property int tabColumnWidth: 240
    readonly property int tabHeight: 50
    readonly property int subTabHeight: 28
    readonly property int tabBorderWidth: 2
    readonly property int stripButtonWidth: 30
    readonly property int stripButtonHeight: 28

    // Fonts: the text font is the application's (Inter); icons come from
    // the remixicon font by code point (Glyphs.js).
    readonly property string iconFamily: "remixicon"
    readonly property int iconSize: 16
    readonly property int stripIconSize: 18
    readonly property int smallTextSize: 11
}
