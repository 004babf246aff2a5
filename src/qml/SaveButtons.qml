import QtQuick
import QtQuick.Controls

// The buttons of a save dialog: "Save", a drop-down beside it with
// "Save && Repeat" (which keeps the dialog open), and "Cancel".
Row {
    id: saveButtons

    property bool canSave: true

    signal saveRequested(bool repeat)
    signal cancelRequested()

    spacing: 6

    Row {
        spacing: 0
        VornButton {
            objectName: "saveButton"
            width: 80
            text: "Save"
            enabled: saveButtons.canSave
            highlighted: true
            onClicked: saveButtons.saveRequested(false)
        }
        VornButton {
            id: moreButton
            objectName: "saveMoreButton"
            width: 24
            text: "\u25BE"
            enabled: saveButtons.canSave
            onClicked: repeatMenu.popup(moreButton, moreButton.width - repeatMenu.width, moreButton.height)
        }
    }
    VornButton {
        objectName: "cancelButton"
        width: 80
        text: "Cancel"
        onClicked: saveButtons.cancelRequested()
    }

    Menu {
        id: repeatMenu
        objectName: "saveRepeatMenu"
        width: 160
        delegate: VornMenuItem {}
        MenuItem {
            objectName: "saveRepeatItem"
            text: "Save && Repeat"
            onTriggered: saveButtons.saveRequested(true)
        }
    }
}
