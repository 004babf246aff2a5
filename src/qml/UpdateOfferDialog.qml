import QtQuick
import QtQuick.Controls
import QtQuick.Layouts

// Offers a newer version: "Download Update" opens the maker's page, "Remind
// Me Later" just closes, "Skip Update" closes and asks not to offer this
// version again. `finished(skipped)` comes once, however the window closes.
FixedDialog {
    id: dialog

    property alias text: headline.text
    property alias msg: message.text
    property alias subject: subjectLabel.text
    property url downloadUrl
    property bool skipped: false

    signal finished(bool skipped)

    title: "VORN"
    modality: Qt.ApplicationModal
    width: 420
    height: 200
    padding: 12

    onClosing: dialog.finished(dialog.skipped)

    ColumnLayout {
        anchors.fill: parent
        spacing: 8

        Label {
            id: subjectLabel
            objectName: "subject"
            Layout.fillWidth: true
            textFormat: Text.PlainText // the camera's name
            visible: text !== ""
            font.pixelSize: 12
            elide: Text.ElideRight
            opacity: 0.7
        }
        Label {
            id: headline
            objectName: "headline"
            Layout.fillWidth: true
            textFormat: Text.PlainText
            font.pixelSize: 14
            font.bold: true
            wrapMode: Text.Wrap
        }
        Label {
            id: message
            objectName: "message"
            Layout.fillWidth: true
            Layout.fillHeight: true
            visible: text !== ""
            font.pixelSize: 13
            lineHeight: 1.3
            wrapMode: Text.Wrap
            verticalAlignment: Text.AlignTop
        }
        Item { Layout.fillHeight: true; visible: !message.visible }

        RowLayout {
            Layout.alignment: Qt.AlignRight
            VornButton {
                objectName: "downloadButton"
                text: "Download Update"
                onClicked: {
                    Qt.openUrlExternally(dialog.downloadUrl)
                    dialog.close()
                }
            }
            VornButton {
                objectName: "remindButton"
                text: "Remind Me Later"
                onClicked: dialog.close()
            }
            VornButton {
                objectName: "skipButton"
                text: "Skip Update"
                onClicked: {
                    dialog.skipped = true
                    dialog.close()
                }
            }
        }
    }
}
