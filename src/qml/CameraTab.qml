import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import "Glyphs.js" as Glyphs

// The tab of a connected camera with, hanging under it, a tab for every saved
// take in its memory and every take open on its SSD.
Column {
    id: cameraTab
    objectName: "cameraTab"

    required property var vornObject
    required property ShellActions shell
    readonly property var camera: vornObject

    // Camera::SsdState SsdReady and Camera::SsdWrState SsdWrSave.
    readonly property int ssdReady: 3
    readonly property int ssdWrSave: 1

    // A camera's values stay undefined until its first poll answers.
    readonly property int acqState: camera ? camera.acqState.value ?? 0 : 0
    readonly property bool ssdSaving: !!camera && camera.ssdState.value === ssdReady
                                      && camera.ssdWrState.value === ssdWrSave
    // Toggled every 333 ms while the camera is triggered.
    property bool blinkRed: true

    spacing: -2

    property CameraActions actions: CameraActions {
        camera: cameraTab.camera
        shell: cameraTab.shell
    }

    Timer {
        interval: 333
        repeat: true
        running: cameraTab.acqState === 3
        onRunningChanged: cameraTab.blinkRed = true
        onTriggered: cameraTab.blinkRed = !cameraTab.blinkRed
    }

    Connections {
        target: cameraTab.camera
        ignoreUnknownSignals: true
        function onCameraFWUpdateAvailable(version, msg) {
            cameraTab.shell.open(cameraTab.shell.cameraFwUpdateDialog,
                                 { camera: cameraTab.camera, version: version, msg: msg })
        }
    }

    TabFrame {
        id: frame
        objectName: "cameraTabFrame"
        width: cameraTab.width
        height: 50
        vornObject: cameraTab.vornObject
        menuEntries: cameraTab.actions.entries

        Glyph {
            id: acqGlyph
            objectName: "acqGlyph"
            anchors.left: parent.left
            anchors.leftMargin: 12
            anchors.verticalCenter: parent.verticalCenter
            font.pixelSize: 20
            text: Glyphs.vidicon
            // Stand-by and anything unknown: white; recording (2, 6): red;
            // triggered (3): blinking.
            color: {
                switch (cameraTab.acqState) {
                case 2:
                case 6:
                    return palette.brightText
                case 3:
                    return cameraTab.blinkRed ? palette.brightText : palette.windowText
                default:
                    return palette.windowText
                }
            }
        }

        ColumnLayout {
            anchors.left: acqGlyph.right
            anchors.leftMargin: 10
            anchors.right: parent.right
            anchors.rightMargin: 10
            anchors.verticalCenter: parent.verticalCenter
            spacing: 2

            Label {
                id: nameLabel
                objectName: "cameraNameLabel"
                Layout.fillWidth: true
                elide: Text.ElideRight
                text: cameraTab.camera ? cameraTab.camera.name.value ?? "" : ""
                textFormat: Text.PlainText

                HoverHandler { id: nameHover }
                TextToolTip {
                    visible: nameLabel.truncated && nameHover.hovered
                    text: nameLabel.text
                }
            }

            Label {
                // Polls fail or time out: the camera is listed but not answering.
                objectName: "notRespondingLabel"
                visible: !!cameraTab.camera && cameraTab.camera.responding === false
                text: "not responding"
                color: Theme.errorText
                font.pixelSize: Theme.smallTextSize
            }

            RowLayout {
                objectName: "ssdProgressRow"
                visible: cameraTab.ssdSaving
                Layout.fillWidth: true
                spacing: 6
                Label { text: "SSD:" }
                ProgressBar {
                    Layout.fillWidth: true
                    from: 0
                    to: 100
                    value: cameraTab.ssdSaving ? cameraTab.camera.ssdProgress.value ?? 0 : 0
                }
                Label {
                    objectName: "ssdProgressLabel"
                    text: (cameraTab.ssdSaving ? cameraTab.camera.ssdProgress.value ?? 0 : 0) + "%"
                }
            }
        }
    }

    Repeater {
        // Empty while the camera class has no take lists.
        model: (cameraTab.camera && cameraTab.camera.savedTakes) || null
        delegate: SubTab {
            id: takeTab
            objectName: "takeTab"
            required property var qtObject
            x: 12
            width: cameraTab.width - x
            vornObject: qtObject
            glyph: qtObject.locked ? Glyphs.saveLine : Glyphs.clapperboardLine
            glyphColor: qtObject.locked ? palette.highlight : palette.windowText
            text: "Take " + qtObject.takeId
            menuEntries: takeActions.entries

            property TakeActions takeActions: TakeActions {
                take: takeTab.qtObject
                shell: cameraTab.shell
            }
        }
    }

    Repeater {
        model: (cameraTab.camera && cameraTab.camera.ssdTakesSorted) || null
        delegate: SubTab {
            id: ssdTakeTab
            objectName: "ssdTakeTab"
            required property var qtObject
            x: 12
            width: cameraTab.width - x
            vornObject: qtObject
            glyph: Glyphs.file3
            text: qtObject.name
            menuEntries: ssdActions.entries

            property SaveCloseActions ssdActions: SaveCloseActions {
                vornObject: ssdTakeTab.qtObject
                shell: cameraTab.shell
            }
        }
    }
}
