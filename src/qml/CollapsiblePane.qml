import QtQuick
import QtQuick.Controls
import "Format.js" as Format

// A titled pane of the control column whose body folds away under its
// header. The body is a column of rows; the pane's width is the column's.
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
        if (!settingsOwner || settingKey === "")
            return
        restoring = true
        expanded = Format.isTrue(settingsOwner.setting(settingKey, settingDefault))
        restoring = false
    }

    function storeState() {
        if (settingsOwner && settingKey !== "")
            settingsOwner.setSetting(settingKey, expanded)
    }

    Component.onCompleted: restoreState()
    onExpandedChanged: if (!restoring) storeState()

    width: 268
    spacing: 0

    Rectangle {
        id: header
        objectName: collapsiblePane.objectName !== "" ? collapsiblePane.objectName + "Header" : ""
        width: collapsiblePane.width
        height: 26
        color: headerArea.containsMouse ? "#2e2e2e" : "#262626"

        Label {
            x: 6
            anchors.verticalCenter: parent.verticalCenter
            text: collapsiblePane.expanded ? "\u25BE" : "\u25B8"
            color: "#a0a0a0"
        }
        Label {
            x: 22
            anchors.verticalCenter: parent.verticalCenter
            text: collapsiblePane.title
            font.bold: true
        }
        MouseArea {
            id: headerArea
            anchors.fill: parent
            hoverEnabled: true
            onClicked: collapsiblePane.expanded = !collapsiblePane.expanded
        }
    }

    Column {
        id: body
        visible: collapsiblePane.expanded
        width: collapsiblePane.width
        topPadding: 4
        bottomPadding: 6
        spacing: 3
    }
}
