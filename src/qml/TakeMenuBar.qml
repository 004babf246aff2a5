import QtQuick
import Vorn 1.0

// The menu bar while a take in camera memory is selected.
VornMenuBar {
    id: menuBar
    objectEntries: actions.entries

    property TakeActions actions: TakeActions {
        take: menuBar.vornObject as Take
        shell: menuBar.shell
    }
}
