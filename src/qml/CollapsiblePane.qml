import QtQuick
import QtQuick.Controls
import "Format.js" as Format
import "Glyphs.js" as Glyphs

// A titled pane of the control column whose body folds away under its
// header. The body is a column of rows; the pane's width is the column's.
// The header is a button: a click, or Space or Return while it has the
// keyboard focus, folds or unfolds the body.
Column {
    id: collapsiblePane

    property string title
    property bool expanded: true
    default property alias content: body.data

    // Where the open state is kept: an object with setting(key, default) and
    // setSetting(key, value) (a camera, or the application), and the key.
    property var settingsOwner: null
    property string settingKey
    property bool settingDefault: true
    property bool restoring: false

    // Reads the stored state (on creation, and when the owner asks again).
    function restoreState() {
        if (!settingsOwner || settingKey === "" || typeof settingsOwner.setting !== "function")
            return
        restoring = true
        expanded = Format.isTrue(settingsOwner.setting(settingKey, settingDefault))
        restoring = false
    }

    function storeState() {
        if (settingsOwner && settingKey !== "" && typeof settingsOwner.setSetting === "function")
            settingsOwner.setSetting(settingKey, expanded)
    }

    Component.onCompleted: restoreState()
    onExpandedChanged: if (!restoring) storeState()

    width: Theme.paneWidth
    spacing: 0

    AbstractButton {
        id: header
        objectName: collapsiblePane.objectName !== "" ? collapsiblePane.objectName + "Header" : ""
        width: collapsiblePane.width
        height: Theme.headerHeight
        focusPolicy: Qt.StrongFocus
        onClicked: collapsiblePane.expanded = !collapsiblePane.expanded
        Keys.onReturnPressed: collapsiblePane.expanded = !collapsiblePane.expanded
        Keys.onEnterPressed: collapsiblePane.expanded = !collapsiblePane.expanded

        background: Rectangle {
            color: header.hovered || header.down ? Theme.headerHovered : Theme.header
            border.width: header.visualFocus ? Theme.focusWidth : 0
            border.color: Theme.focus
        }
        contentItem: Row {
            leftPadding: Theme.spacing
            spacing: Theme.spacing
            Glyph {
                anchors.verticalCenter: parent.verticalCenter
                text: collapsiblePane.expanded ? Glyphs.arrowDownSLine : Glyphs.arrowRightSLine
                color: Theme.secondaryText
            }
            Label {
                anchors.verticalCenter: parent.verticalCenter
                text: collapsiblePane.title
                font.bold: true
            }
        }
    }

    Column {
        id: body
        visible: collapsiblePane.expanded
        width: collapsiblePane.width
        topPadding: Theme.spacing
        bottomPadding: Theme.margin - 2
        spacing: Theme.rowSpacing
    }
}
