pragma ComponentBehavior: Bound

import QtQuick
import Vorn 1.0

// The view of an open VORN file.
PlaybackView {
    id: fileView
    objectName: "fileView"
    objectType: VornObject.VornFileType
    mainPane: Component {
        FileMainPane {
            file: fileView.vornObject as VornFile
            settingsOwner: VornApp
            settingKey: "playback/main_pane_expanded"
        }
    }
}
