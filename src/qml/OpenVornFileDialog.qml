import QtQuick
import QtQuick.Dialogs
import Qt.labs.platform as Platform
import Vorn 1.0

// Chooses VORN files, starting in the folder of the last choice ("open/folder").
FileDialog {
    id: dialog

    // The URLs of the chosen files, after the folder has been stored.
    signal filesChosen(var fileUrls)

    title: "Open VORN File"
    fileMode: FileDialog.OpenFiles
    nameFilters: ["VORN files (*.vorn)", "All files (*)"]

    function openInLastFolder() {
        const documents = VornApp.filePathFromUrl(
                    Platform.StandardPaths.writableLocation(Platform.StandardPaths.DocumentsLocation))
        const folder = VornApp.setting("open/folder", documents)
        dialog.currentFolder = VornApp.fileUrlFromPath(folder)
        dialog.open()
    }

    onAccepted: {
        const urls = dialog.selectedFiles
        if (urls.length === 0)
            return
        const path = VornApp.filePathFromUrl(urls[0])
        VornApp.setSetting("open/folder", path.substring(0, path.lastIndexOf("/")))
        dialog.filesChosen(urls)
    }
}
