pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vorn 1.0
import "Format.js" as Format

// "Review Side by Side": the takes in camera memory, the open SSD takes and
// the open VORN files, each with a check box; "Review" opens the checked
// ones together in one view.
FixedDialog {
    id: dialog
    objectName: "reviewDialog"

    title: "Review Side by Side"
    modality: Qt.ApplicationModal
    width: 420
    height: 360

    readonly property var candidates: VornApp.reviewCandidates()
    property var checked: []

    function describe(o) {
        if (o.type === VornObject.VornFileType)
            return "VORN File: " + VornApp.fileNameFromPath((o as VornFile).fileName)
        const camera = String(Format.val(o.cameraName, ""))
        if (o.type === VornObject.SsdTakeType)
            return camera + ": SSD Take " + (o as SsdTake).name
        return camera + ": Take " + (o as AbstractTake).takeId
    }

    function toggle(o, on) {
        const rest = checked.filter(c => c !== o)
        checked = on ? rest.concat([o]) : rest
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 8

        Label {
            text: "Takes and files to show side by side:"
        }
        Rectangle {
            Layout.fillWidth: true
            Layout.fillHeight: true
            color: Theme.palette.base
            border.color: Theme.separator

            ListView {
                objectName: "reviewCandidateList"
                anchors.fill: parent
                anchors.margins: 1
                clip: true
                model: dialog.candidates
                ScrollBar.vertical: ScrollBar {}
                delegate: CheckBox {
                    objectName: "reviewCandidate"
                    required property var modelData
                    text: dialog.describe(modelData)
                    checked: dialog.checked.indexOf(modelData) >= 0
                    onToggled: dialog.toggle(modelData, checked)
                }
            }
        }
        RowLayout {
            Layout.alignment: Qt.AlignRight
            VornButton {
                objectName: "reviewButton"
                text: "Review"
                enabled: dialog.checked.length >= 2
                onClicked: {
                    dialog.close()
                    VornApp.openReviewGroup(dialog.candidates.filter(c => dialog.checked.indexOf(c) >= 0))
                }
            }
            VornButton {
                text: "Cancel"
                onClicked: dialog.close()
            }
        }
    }
}
