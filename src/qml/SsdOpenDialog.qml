pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Vorn 1.0

// Chooses takes saved on a camera's SSD and asks the camera to open them.
// The listing (camera.ssdLsEntries) arrives after camera.ssdLs(); a click
// selects one file, Ctrl+click adds or removes one, Shift+click adds the
// files between the last click and this one; a double click or "Open"
// opens the selection, which the camera then lists as SSD takes.
ApplicationWindow {
    id: ssdOpenDialog
    objectName: "ssdOpenDialog"

    required property Camera camera

    readonly property SsdLsSortProxyModel entries: camera ? (camera.ssdLsEntries || null) : null
    readonly property int sortMode: entries ? entries.sortMode : 1
    readonly property int selectedCount: entries && entries.sourceModel ? (entries.sourceModel as SsdLsListModel).selectedCount : 0
    // The row of the last plain or Ctrl click, where a Shift+click range starts.
    property int anchorRow: -1

    title: "Open SSD Take"
    flags: Qt.Dialog
    width: 520
    height: 380
    minimumWidth: 420
    minimumHeight: 240

    function entryAt(row) {
        return entries.data(entries.index(row, 0), 256)
    }

    // Name, size and date each sort ascending first, descending on a second click.
    function sortBy(ascendingMode) {
        if (!entries)
            return
        entries.sortMode = sortMode === ascendingMode ? ascendingMode + 1 : ascendingMode
    }

    function clicked(row, modifiers) {
        const entry = entryAt(row)
        if (modifiers & Qt.ShiftModifier && anchorRow >= 0) {
            for (let r = Math.min(anchorRow, row); r <= Math.max(anchorRow, row); ++r)
                entryAt(r).select(true)
            return
        }
        if (modifiers & Qt.ControlModifier) {
            if (entry.selected)
                entry.unselect()
            else
                entry.select(true)
        } else if (entry.selected) {
            // Already chosen: a plain click still leaves it chosen alone.
            for (let r = 0; r < entries.count; ++r) {
                if (r !== row)
                    entryAt(r).unselect()
            }
        } else {
            entry.select(false)
        }
        anchorRow = row
    }

    function openSelected() {
        if (selectedCount === 0)
            return
        camera.ssdFOpen()
        ssdOpenDialog.close()
    }

    component SortHeader: Button {
        required property int ascendingMode
        property string caption
        flat: true
        height: 26
        text: caption + (ssdOpenDialog.sortMode === ascendingMode ? "  \u25B2"
                         : ssdOpenDialog.sortMode === ascendingMode + 1 ? "  \u25BC" : "")
        onClicked: ssdOpenDialog.sortBy(ascendingMode)
    }

    Pane {
        anchors.fill: parent
        padding: 10

        ColumnLayout {
            anchors.fill: parent
            spacing: 6

            RowLayout {
                Layout.fillWidth: true
                spacing: 0
                SortHeader {
                    objectName: "sortByName"
                    Layout.fillWidth: true
                    ascendingMode: 1
                    caption: "Name"
                }
                SortHeader {
                    objectName: "sortBySize"
                    Layout.preferredWidth: 90
                    ascendingMode: 3
                    caption: "Size"
                }
                SortHeader {
                    objectName: "sortByDate"
                    Layout.preferredWidth: 160
                    ascendingMode: 5
                    caption: "Date"
                }
            }

            Rectangle {
                Layout.fillWidth: true
                Layout.fillHeight: true
                color: Theme.palette.base
                border.color: Theme.separator

                ListView {
                    id: listView
                    objectName: "ssdFileList"
                    anchors.fill: parent
                    anchors.margins: 1
                    clip: true
                    model: ssdOpenDialog.entries
                    ScrollBar.vertical: ScrollBar {}

                    delegate: Rectangle {
                        id: row
                        objectName: "ssdFileRow"
                        required property SsdLsEntry qtObject
                        required property int index
                        width: listView.width
                        height: 24
                        // A row outlives its entry by a moment when the listing is read again.
                        color: qtObject && qtObject.selected ? Theme.palette.highlight : (index % 2 ? Theme.alternateRow : Theme.palette.base)

                        RowLayout {
                            anchors.fill: parent
                            anchors.leftMargin: 8
                            anchors.rightMargin: 8
                            spacing: 0
                            Label {
                                Layout.fillWidth: true
                                text: row.qtObject ? row.qtObject.name : ""
                                textFormat: Text.PlainText
                                elide: Text.ElideRight
                            }
                            Label {
                                Layout.preferredWidth: 90
                                text: !row.qtObject || row.qtObject.oldFW ? "" : VornApp.sizeText(row.qtObject.size)
                            }
                            Label {
                                Layout.preferredWidth: 160
                                text: !row.qtObject || row.qtObject.oldFW ? "" : row.qtObject.dateStr
                            }
                        }
                        MouseArea {
                            anchors.fill: parent
                            onClicked: mouse => ssdOpenDialog.clicked(row.index, mouse.modifiers)
                            onDoubleClicked: {
                                row.qtObject.select(false)
                                ssdOpenDialog.openSelected()
                            }
                        }
                    }
                }
                Label {
                    anchors.centerIn: parent
                    visible: listView.count === 0
                    text: "No files"
                    color: Theme.faintText
                }
            }

            RowLayout {
                Layout.fillWidth: true
                VornButton {
                    objectName: "ssdRefreshButton"
                    text: "Refresh"
                    onClicked: ssdOpenDialog.camera.ssdLs()
                }
                // Why "Open" cannot act yet.
                Label {
                    objectName: "ssdOpenHint"
                    Layout.fillWidth: true
                    text: listView.count === 0 ? "The SSD lists no files to open."
                        : ssdOpenDialog.selectedCount === 0 ? "Choose the files to open." : ""
                    color: Theme.secondaryText
                    elide: Text.ElideRight
                }
                VornButton {
                    objectName: "ssdOpenButton"
                    text: "Open"
                    enabled: ssdOpenDialog.selectedCount > 0
                    onClicked: ssdOpenDialog.openSelected()
                }
                VornButton {
                    objectName: "ssdCancelButton"
                    text: "Cancel"
                    onClicked: ssdOpenDialog.close()
                }
            }
        }
    }
}
