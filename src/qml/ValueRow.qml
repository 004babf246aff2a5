import QtQuick
import QtQuick.Controls

// One row of a pane: a label in the label column and, in the value column,
// either the text `value` or the control given as the row's content. Both
// are shown as plain text: a value may be the camera's own text. The label
// greys out with a disabled control, as the control does.
Item {
    id: valueRow

    property string label
    property color labelColor: Theme.palette.windowText
    property string value
    property color valueColor: Theme.palette.windowText
    default property alias content: valueArea.data

    property int labelWidth: Theme.labelWidth
    property int valueWidth: Theme.valueWidth

    readonly property bool controlEnabled: valueArea.children.length === 0 || valueArea.children[0].enabled

    width: labelWidth + valueWidth
    x: Theme.rowMargin
    height: Math.max(Theme.rowHeight, valueArea.childrenRect.height,
                     valueText.visible ? valueText.implicitHeight + 6 : 0)

    Label {
        id: labelText
        width: valueRow.labelWidth - 6
        anchors.verticalCenter: parent.verticalCenter
        text: valueRow.label
        textFormat: Text.PlainText
        color: valueRow.enabled && valueRow.controlEnabled ? valueRow.labelColor : Theme.palette.disabled.windowText
        elide: Text.ElideRight
    }
    Label {
        id: valueText
        objectName: valueRow.objectName !== "" ? valueRow.objectName + "Text" : ""
        x: valueRow.labelWidth
        width: valueRow.valueWidth
        anchors.verticalCenter: parent.verticalCenter
        visible: valueArea.children.length === 0
        text: valueRow.value
        textFormat: Text.PlainText
        color: valueRow.enabled ? valueRow.valueColor : Theme.palette.disabled.windowText
        elide: Text.ElideRight
    }
    Item {
        id: valueArea
        x: valueRow.labelWidth
        width: valueRow.valueWidth
        height: childrenRect.height
        anchors.verticalCenter: parent.verticalCenter
    }
}
