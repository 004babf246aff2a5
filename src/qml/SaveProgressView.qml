pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vorn 1.0
import "SaveProgressColumns.js" as SaveProgressColumns

// Every save job of the save manager, oldest first, with its progress.
Control {
    id: saveProgressView
    objectName: "saveProgressView"

    readonly property QQmlObjectListModelBase jobs: VornApp.saveManager.saveJobs

    background: Rectangle { color: saveProgressView.palette.base }

    Rectangle {
        id: header
        width: parent.width
        height: 30
        color: Theme.header

        RowLayout {
            anchors.fill: parent
            anchors.leftMargin: 8
            anchors.rightMargin: 4
            spacing: 8
            Label { Layout.preferredWidth: SaveProgressColumns.dest; text: "Save To"; font.bold: true }
            Label { Layout.fillWidth: true; text: "Name"; font.bold: true }
            Label { Layout.preferredWidth: SaveProgressColumns.status; text: "Status"; font.bold: true }
            Label { Layout.preferredWidth: SaveProgressColumns.camera; text: "Camera"; font.bold: true }
            Label { Layout.preferredWidth: SaveProgressColumns.source; text: "Source"; font.bold: true }
            Item { Layout.preferredWidth: SaveProgressColumns.buttons }
        }
    }

    ListView {
        id: jobList
        objectName: "saveJobList"
        anchors.top: header.bottom
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        model: saveProgressView.jobs
        ScrollBar.vertical: ScrollBar {}
        delegate: SaveJobRow { width: jobList.width }
    }

    Label {
        objectName: "noSavesText"
        anchors.centerIn: parent
        visible: jobList.count === 0
        text: "No saves"
        color: Theme.faintText
    }
}
