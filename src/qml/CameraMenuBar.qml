import QtQuick
import Vorn 1.0

// The menu bar while a camera is selected.
VornMenuBar {
    id: menuBar
    objectEntries: actions.entries

    property CameraActions actions: CameraActions {
        camera: menuBar.vornObject as Camera
        shell: menuBar.shell
    }
}
