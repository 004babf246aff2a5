import QtQuick
import QtQuick.Controls
import QtQuick.Dialogs

// The folder a save writes into: its path, which may be typed, and a button
// that chooses it in the system's folder dialog.
Item {
    id: folderField

    property string folder

    // A folder typed or chosen.
    signal chosen(string folder)

    width: 260
    height: 26

    TextField {
        id: field
        objectName: folderField.objectName !== "" ? folderField.objectName + "Text" : ""
        anchors.left: parent.left
        anchors.right: chooseButton.left
        anchors.rightMargin: 2
        height: parent.height
        selectByMouse: true
        text: folderField.folder
        onEditingFinished: {
            if (field.text !== folderField.folder)
                folderField.chosen(field.text)
            field.text = Qt.binding(() => folderField.folder)
        }
    }
    VornButton {
        id: chooseButton
        objectName: folderField.objectName !== "" ? folderField.objectName + "Choose" : ""
        anchors.right: parent.right
        width: 30
        height: parent.height
        text: "..."
        ToolTip.visible: hovered
        ToolTip.text: "Select Folder"
        ToolTip.delay: 500
        onClicked: {
            folderDialog.currentFolder = vornApp.fileUrlFromPath(folderField.folder)
            folderDialog.open()
        }
    }
    FolderDialog {
        id: folderDialog
        title: "Select Folder"
        onAccepted: folderField.chosen(vornApp.filePathFromUrl(folderDialog.selectedFolder.toString()))
    }
}
