import QtQuick
import Vorn 1.0

// The menu bar while a side-by-side review is selected.
VornMenuBar {
    id: menuBar
    objectEntries: actions.entries

    property ReviewActions actions: ReviewActions {
        group: menuBar.vornObject as ReviewGroup
        shell: menuBar.shell
    }
}
