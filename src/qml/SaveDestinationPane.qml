import QtQuick
import Vorn 1.0
import "Format.js" as Format
import Vorn 1.0

// Where a save goes: "File" or the camera's "SSD", the name template, for
// files the folder, and the free space there.
DialogSection {
    id: destinationPane
    title: "Destination"

    required property SaveSettings settings
    // The camera of a take source (its SSD), else null.
    property Camera camera: null

    // The size the save is estimated to take; 0 when it is not estimated.
    property real neededBytes: 0

    readonly property bool toSsd: settings.dest === SaveManager.SsdDest
    // A save makes its folder; the free space is then that of the disk the
    // folder will be made on.
    readonly property bool folderMissing: !toSsd && !VornApp.folderExists(settings.folder)
    readonly property bool tooLittleSpace: neededBytes > freeBytes
    readonly property real freeBytes: toSsd
        ? Math.max(0, Number(Format.val(camera ? camera.ssdSize : null, 0)) - Number(Format.val(camera ? camera.ssdUsed : null, 0)))
        : VornApp.folderBytesAvailable(settings.folder)

    ValueRow {
        label: "Save To:"
        valueWidth: 260
        ChoiceBox {
            objectName: "saveToBox"
            choices: destinationPane.settings.destList
            value: destinationPane.settings.dest
            enabled: destinationPane.settings.destList.length > 1
            onChosen: v => destinationPane.settings.dest = v
        }
    }
    ValueRow {
        label: "File Name:"
        valueWidth: 260
        // Older cameras name SSD files themselves.
        enabled: !destinationPane.toSsd
                 || Format.val(destinationPane.camera ? destinationPane.camera.featureSsdSave : null, 0) >= 2
        FileNameField {
            objectName: "fileName"
            text: destinationPane.settings.fileName
            onTextChanged: destinationPane.settings.fileName = text
        }
    }
    ValueRow {
        label: "Folder:"
        valueWidth: 260
        visible: !destinationPane.toSsd
        FolderField {
            objectName: "folder"
            folder: destinationPane.settings.folder
            onChosen: f => destinationPane.settings.folder = f
        }
    }
    ValueRow {
        objectName: "freeSpaceRow"
        label: "Free Space:"
        valueWidth: 260
        valueColor: destinationPane.tooLittleSpace ? Theme.alarm : Theme.palette.windowText
        value: VornApp.sizeText(destinationPane.freeBytes)
               + (destinationPane.folderMissing ? " (folder will be created)" : "")
               + (destinationPane.tooLittleSpace ? " (less than the estimate)" : "")
    }
}
