import QtQuick
import QtQuick.Controls

// The frame of a tab in the object tab column: a left click selects its object,
// a right click opens the object's context menu. A Control, so that the
// highlight comes from the style's palette.
Control {
    id: tab

    required property var vornObject
    // The context menu's entries: Actions, null for a separator.
    property var menuEntries: []

    readonly property bool isSelected: !!tab.vornObject && tab.vornObject.selected

    // Tabs overlap their neighbours by their border; the selected one's shows whole.
    z: tab.isSelected ? 1 : 0

    background: Rectangle {
        color: Theme.header
        border.width: Theme.tabBorderWidth
        border.color: tab.isSelected ? tab.palette.highlight : Theme.tabBorder
    }

    // Made on the first right click and kept with the tab.
    property ObjectContextMenu contextMenu: null

    // Opens the context menu at (x, y) of the tab.
    function openContextMenu(x, y) {
        if (!tab.contextMenu)
            tab.contextMenu = contextMenuComponent.createObject(tab, { entries: tab.menuEntries })
        tab.contextMenu.popup(x, y)
        return tab.contextMenu
    }

    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        onClicked: mouse => {
            if (mouse.button === Qt.RightButton)
                tab.openContextMenu(mouse.x, mouse.y)
            else if (tab.vornObject)
                vornApp.selectedVornObject = tab.vornObject
        }
    }

    Component {
        id: contextMenuComponent
        ObjectContextMenu {}
    }
}
