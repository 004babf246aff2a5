pragma ComponentBehavior: Bound

import QtQuick
import Vorn 1.0

// The view of a take in camera memory.
PlaybackView {
    id: takeView
    objectName: "takeView"
    objectType: VornObject.TakeType
    mainPane: Component {
        TakeMainPane {
            take: takeView.vornObject as Take
            shell: takeView.shell
            settingsOwner: VornApp
            settingKey: "playback/main_pane_expanded"
        }
    }
}
