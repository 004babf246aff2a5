import QtQuick
import Vorn 1.0

// The view of a take file on the camera's SSD.
PlaybackView {
    id: ssdTakeView
    objectName: "ssdTakeView"
    objectType: VornObject.SsdTakeType
    mainPane: Component {
        SsdTakeMainPane {
            ssdTake: ssdTakeView.vornObject
            settingsOwner: vornApp
            settingKey: "playback/main_pane_expanded"
        }
    }
}
