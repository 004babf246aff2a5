pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import Vorn 1.0
import "Glyphs.js" as Glyphs

// The column of object tabs on the right of the window: a camera tab (with its
// takes) for every connected camera and a file tab for every open VORN file.
Control {
    id: tabBar
    objectName: "tabBar"

    required property ShellActions shell

    background: Rectangle {
        color: tabBar.palette.window
    }

    Row {
        id: topRow
        anchors.left: parent.left
        anchors.leftMargin: 8
        y: 10
        height: 24
        spacing: 4

        TabBarButton {
            id: addButton
            objectName: "addButton"
            text: Glyphs.addFill
            toolTip: "Connect Camera or Open VORN File"
            onClicked: addMenu.popup(addButton, 0, addButton.height)
        }

        TabBarButton {
            objectName: "saveProgressButton"
            text: Glyphs.download2Line
            toolTip: "Save Progress"
            onClicked: VornApp.setNullVornObject(VornApp.SaveProgress)
        }
    }

    Menu {
        id: addMenu
        objectName: "addMenu"
        width: 160
        VornMenuItem { action: tabBar.shell.connectCamera }
        VornMenuItem { action: tabBar.shell.openVornFile }
        MenuSeparator {}
        VornMenuItem { action: tabBar.shell.recordAll }
        VornMenuItem { action: tabBar.shell.triggerAll }
        VornMenuItem { action: tabBar.shell.abortAll }
    }

    ListView {
        id: tabList
        objectName: "tabList"
        anchors.top: topRow.bottom
        anchors.topMargin: 10
        anchors.left: parent.left
        anchors.leftMargin: 6
        anchors.right: parent.right
        anchors.rightMargin: 6
        anchors.bottom: parent.bottom
        spacing: 8
        clip: true
        focus: false
        keyNavigationEnabled: false
        boundsBehavior: Flickable.StopAtBounds
        model: VornApp.vornObjModel
        ScrollBar.vertical: ScrollBar {}

        // Cameras and files are tabs of their own; other objects (takes) hang
        // under their camera's tab.
        delegate: Loader {
            id: tabLoader
            required property VornObject qtObject
            required property int type
            width: ListView.view.width
            Component.onCompleted: {
                if (type === VornObject.CameraType)
                    setSource("CameraTab.qml", { vornObject: qtObject, shell: tabBar.shell })
                else if (type === VornObject.VornFileType)
                    setSource("FileTab.qml", { vornObject: qtObject, shell: tabBar.shell })
                else if (type === VornObject.CameraGroupType)
                    setSource("ReviewTab.qml", { vornObject: qtObject, shell: tabBar.shell })
            }
        }
    }
}
