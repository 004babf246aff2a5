import QtQuick

// The menu bar while a take in camera memory is selected.
VornMenuBar {
    id: menuBar
    objectEntries: actions.entries

    property TakeActions actions: TakeActions {
        take: menuBar.vornObject
        shell: menuBar.shell
    }
}
