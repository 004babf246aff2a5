import QtQuick

// The menu bar while a take on the camera SSD is selected.
VornMenuBar {
    id: menuBar
    objectEntries: actions.entries

    property SaveCloseActions actions: SaveCloseActions {
        vornObject: menuBar.vornObject
        shell: menuBar.shell
    }
}
