pragma ComponentBehavior: Bound

import QtQuick
import QtQuick.Controls

// A combo box over a list of choices (a string list model or an array)
// that shows the entry at `listIndex`, the camera's current value. A choice
// or, when editable, a typed text is reported by `chosen`; the box then goes
// back to `listIndex` until the camera reports the new value.
Item {
    id: valueComboBox

    property var list: null
    property int listIndex: -1
    property bool editable: false
    property string units
    property var validator: null
    property alias comboBox: box

    signal chosen(int index, string text)

    width: Theme.valueWidth
    height: Theme.rowHeight

    // Whether the user has typed into the box since it last showed the
    // camera's value: a report arriving meanwhile must not replace the text
    // being typed (Return would then send the replaced text), nor the text
    // selected to be typed over.
    property bool editing: false
    property bool resyncing: false

    // The entries the box offers, copied from the list whenever the box shows
    // the camera's value and never while the user types: a combo box rewrites
    // its text when its model is refilled or its index moves.
    property var entries: []

    function shownText() {
        return valueComboBox.listIndex >= 0 ? box.textAt(valueComboBox.listIndex) : ""
    }

    function listEntries() {
        const list = valueComboBox.list
        if (!list)
            return []
        if (list.rowCount === undefined)
            return list
        const copy = []
        for (let row = 0; row < list.rowCount(); ++row)
            copy.push(list.data(list.index(row, 0)))
        return copy
    }

    function sameEntries(a, b) {
        if (a.length !== b.length)
            return false
        for (let i = 0; i < a.length; ++i) {
            if (a[i] !== b[i])
                return false
        }
        return true
    }

    // The user is about to type over the text selected whole.
    function aboutToType() {
        const field = box.contentItem as TextInput
        return box.editable && field.activeFocus && field.selectedText !== "" && field.selectedText === field.text
    }

    function resync() {
        if (valueComboBox.editing || valueComboBox.aboutToType())
            return
        valueComboBox.resyncing = true
        const next = valueComboBox.listEntries()
        if (!valueComboBox.sameEntries(next, valueComboBox.entries))
            valueComboBox.entries = next
        box.currentIndex = valueComboBox.listIndex
        if (box.editable)
            box.editText = valueComboBox.shownText()
        valueComboBox.resyncing = false
    }

    onListIndexChanged: resync()
    onListChanged: resyncLater.restart()

    // Resyncs once on the next turn of the event loop, however often asked.
    Timer {
        id: resyncLater
        interval: 0
        onTriggered: valueComboBox.resync()
    }

    // A list model refilled in place keeps its index: show it again.
    Connections {
        target: valueComboBox.list && valueComboBox.list.rowCount !== undefined ? valueComboBox.list : null
        function onModelReset() { resyncLater.restart() }
    }

    ComboBox {
        id: box
        objectName: valueComboBox.objectName !== "" ? valueComboBox.objectName + "Box" : ""
        width: valueComboBox.units !== "" ? valueComboBox.width - unitsLabel.width - Theme.spacing : valueComboBox.width
        height: valueComboBox.height
        model: valueComboBox.entries
        editable: valueComboBox.editable
        validator: valueComboBox.validator
        palette.active.button: !enabled ? Theme.palette.active.button : down ? Theme.buttonPressed : hovered ? Theme.buttonHovered : Theme.palette.active.button
        Component.onCompleted: valueComboBox.resync()

        // The style's entry, with its text shown as it is: the choices may be
        // the camera's own texts (resolutions, video formats).
        delegate: MenuItem {
            id: choice
            required property int index
            required property string modelData
            width: ListView.view.width
            text: choice.modelData
            font.weight: box.currentIndex === choice.index ? Font.DemiBold : Font.Normal
            highlighted: box.highlightedIndex === choice.index
            hoverEnabled: box.hoverEnabled
            contentItem: Text {
                text: choice.text
                textFormat: Text.PlainText
                font: choice.font
                color: choice.highlighted ? choice.palette.highlightedText : choice.palette.text
                elide: Text.ElideRight
                verticalAlignment: Text.AlignVCenter
            }
        }

        onEditTextChanged: if (box.activeFocus && !valueComboBox.resyncing) valueComboBox.editing = true
        onActivated: index => {
            valueComboBox.editing = false
            valueComboBox.chosen(index, box.textAt(index))
            resyncLater.restart()
        }
        onAccepted: {
            valueComboBox.editing = false
            // The camera's own value, shown unchanged, is no choice: its
            // rounded text sent back would move the setting.
            if (box.editText !== valueComboBox.shownText())
                valueComboBox.chosen(-1, box.editText)
            resyncLater.restart()
        }
        onActiveFocusChanged: {
            if (!activeFocus) {
                valueComboBox.editing = false
                resyncLater.restart()
            }
        }
    }
    Label {
        id: unitsLabel
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        visible: valueComboBox.units !== ""
        text: valueComboBox.units
        width: visible ? Math.max(implicitWidth, Theme.unitsWidth) : 0
        horizontalAlignment: Text.AlignRight
        color: Theme.secondaryText
    }
}
