import QtQuick
import QtQuick.Controls

// A small dialog window of the main window: its size is the one it is given
// (or, bound to its content, the one the content needs) and the user cannot
// change it. The content sits in a Pane, with its padding and the window
// colour of the style. The shell opens it (ShellActions.open).
ApplicationWindow {
    id: fixedDialog

    default property alias content: pane.contentData
    property alias padding: pane.padding
    // The room the content asks for, padding included.
    readonly property real contentImplicitWidth: pane.implicitWidth
    readonly property real contentImplicitHeight: pane.implicitHeight

    title: "VORN"
    flags: Qt.Dialog
    minimumWidth: width
    maximumWidth: width
    minimumHeight: height
    maximumHeight: height

    Pane {
        id: pane
        anchors.fill: parent
        padding: 10
    }
}
