pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vorn 1.0

// "Copy Settings to Other Cameras...": the other connected cameras, each to
// be ticked; those that cannot take the settings (another model, busy) stand
// greyed with the reason. The rig copies and reports in a message.
FixedDialog {
    id: dialog
    objectName: "copySettingsDialog"

    required property Camera camera
    // Maps of camera, name, enabled and reason, as the rig lists them.
    readonly property var targets: camera ? VornApp.rig.copyTargets(camera) : []
    property var chosen: targets.filter(t => t.enabled).map(t => t.camera)

    title: "Copy Settings"
    modality: Qt.ApplicationModal
    width: 340
    height: Math.ceil(contentImplicitHeight)

    ColumnLayout {
        anchors.fill: parent
        spacing: 6

        Label {
            Layout.fillWidth: true
            wrapMode: Text.Wrap
            text: "Resolution, frame rate, exposure, sync, trigger offset and partitions of "
                  + (dialog.camera ? dialog.camera.name.value ?? "" : "") + " to:"
            textFormat: Text.PlainText
        }

        Repeater {
            model: dialog.targets
            delegate: CheckBox {
                required property var modelData
                objectName: "copyTarget"
                Layout.fillWidth: true
                text: modelData.enabled ? modelData.name : modelData.name + " (" + modelData.reason + ")"
                enabled: modelData.enabled
                checked: dialog.chosen.includes(modelData.camera)
                onToggled: {
                    const others = dialog.chosen.filter(c => c !== modelData.camera)
                    dialog.chosen = checked ? others.concat([modelData.camera]) : others
                }
            }
        }

        Label {
            visible: dialog.targets.length === 0
            text: "No other camera is connected."
        }

        RowLayout {
            Layout.alignment: Qt.AlignRight
            VornButton {
                objectName: "copyButton"
                text: "Copy"
                enabled: dialog.chosen.length > 0 && !!dialog.camera
                onClicked: {
                    VornApp.rig.copySettings(dialog.camera, dialog.chosen)
                    dialog.close()
                }
            }
            VornButton {
                objectName: "cancelButton"
                text: "Cancel"
                onClicked: dialog.close()
            }
        }
    }
}
