import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "MenuEntries.js" as MenuEntries

// The right-click menu of a tab: the entries of its object's actions.
Menu {
    id: menu
    objectName: "contextMenu"

    // Actions, null for a separator.
    required property var entries

    delegate: VornMenuItem {}

    Component.onCompleted: MenuEntries.insert(menu, 0, entries, separatorComponent)

    property Component separatorComponent: Component {
        MenuSeparator {}
    }
}
