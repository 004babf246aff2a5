pragma ComponentBehavior: Bound

import QtQuick
import Vorn 1.0

// The view of a take file on the camera's SSD.
PlaybackView {
    id: ssdTakeView
    objectName: "ssdTakeView"
    objectType: VornObject.SsdTakeType
    mainPane: Component {
        SsdTakeMainPane {
            ssdTake: ssdTakeView.vornObject as SsdTake
            settingsOwner: VornApp
            settingKey: "playback/main_pane_expanded"
        }
    }
}
