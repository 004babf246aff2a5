import QtQuick
import QtQuick.Controls

// Shown while nothing is selected: the program's name, purpose and version.
Control {
    id: view
    objectName: "aboutView"

    background: Rectangle {
        color: view.palette.base
    }

    Column {
        anchors.centerIn: parent
        spacing: 14

        Text {
            objectName: "aboutTitle"
            anchors.horizontalCenter: parent.horizontalCenter
            text: "VORN"
            font.pixelSize: 160
            font.letterSpacing: 12
            color: Theme.engraved
            style: Text.Sunken
            styleColor: Theme.engravedShadow
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "Q7 HIGH-SPEED CAMERA CONTROL"
            font.pixelSize: 18
            font.letterSpacing: 4
            color: Theme.secondaryText
        }

        Text {
            objectName: "aboutVersion"
            anchors.horizontalCenter: parent.horizontalCenter
            topPadding: 18
            text: "Version " + vornApp.applicationVersion
            font.pixelSize: 13
            color: Theme.secondaryText
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "\u00a9 2026 Korvanstead. All rights reserved."
            font.pixelSize: Theme.smallTextSize
            color: Theme.notice
        }

        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            topPadding: 24
            text: "Made with Qt, OpenCV, FFmpeg, OpenH264, the Inter typeface and Remix Icon."
            font.pixelSize: Theme.smallTextSize
            color: Theme.notice
        }
    }
}
