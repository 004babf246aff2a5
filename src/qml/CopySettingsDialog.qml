pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
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

    readonly property int rowHeight: 30
    readonly property int spacing: 6

    title: "Copy Settings"
    modality: Qt.ApplicationModal
    width: 340
    // Known before the window shows (a size set later warns on some platforms).
    height: Math.ceil(header.implicitHeight + rowHeight * Math.max(1, targets.length) + copyButton.implicitHeight
                      + 2 * spacing + 2 * padding)

    Column {
        spacing: dialog.spacing

        Label {
            id: header
            width: dialog.width - 2 * dialog.padding
            wrapMode: Text.Wrap
            textFormat: Text.PlainText
            text: "Resolution, frame rate, exposure, sync, trigger offset and partitions of "
                  + (dialog.camera ? dialog.camera.name.value ?? "" : "") + " to:"
        }

        Repeater {
            model: dialog.targets
            delegate: CheckBox {
                required property var modelData
                objectName: "copyTarget"
                width: header.width
                height: dialog.rowHeight
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
            height: dialog.rowHeight
            verticalAlignment: Text.AlignVCenter
            text: "No other camera is connected."
        }

        Row {
            x: header.width - width
            spacing: dialog.spacing
            VornButton {
                id: copyButton
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
