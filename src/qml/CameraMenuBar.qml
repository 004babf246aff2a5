import QtQuick

// The menu bar while a camera is selected.
VornMenuBar {
    id: menuBar
    objectEntries: actions.entries

    property CameraActions actions: CameraActions {
        camera: menuBar.vornObject
        shell: menuBar.shell
    }
}
