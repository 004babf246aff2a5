import QtQuick

// The menu bar while an open VORN file is selected.
VornMenuBar {
    id: menuBar
    objectEntries: actions.entries

    property SaveCloseActions actions: SaveCloseActions {
        vornObject: menuBar.vornObject
        shell: menuBar.shell
    }
}
