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

    // A column heading as wide as the column's cells (SaveJobRow).
    component Heading: Label {
        property int columnWidth
        Layout.preferredWidth: columnWidth
        Layout.minimumWidth: columnWidth
        elide: Text.ElideRight
        font.bold: true
    }

    Rectangle {
        id: header
        width: parent.width
        height: 30
        color: Theme.header

        RowLayout {
            anchors.fill: parent
            anchors.leftMargin: 8
            anchors.rightMargin: 4
            spacing: SaveProgressColumns.spacing
            Heading { columnWidth: SaveProgressColumns.dest; text: "Save To" }
            Heading { Layout.fillWidth: true; columnWidth: SaveProgressColumns.nameMinimum; text: "Name" }
            Heading { Layout.maximumWidth: columnWidth; columnWidth: SaveProgressColumns.status; text: "Status" }
            Heading { columnWidth: SaveProgressColumns.camera; text: "Camera" }
            Heading { columnWidth: SaveProgressColumns.source; text: "Source" }
            Item { Layout.preferredWidth: SaveProgressColumns.buttons; Layout.minimumWidth: SaveProgressColumns.buttons }
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
