import QtQuick
import Vorn 1.0

// The menu bar while an open VORN file is selected.
VornMenuBar {
    id: menuBar
    objectEntries: actions.entries

    property SaveCloseActions actions: SaveCloseActions {
        vornObject: menuBar.vornObject as PlaybackVornObject
        shell: menuBar.shell
    }
}
