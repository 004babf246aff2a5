import QtQuick
import QtQuick.Controls

// One row of a pane: a label in the 120-pixel label column and, in the
// 140-pixel value column, either the text `value` or the control given as
// the row's content. Both are shown as plain text: a value may be the
// camera's own text.
Item {
    id: valueRow

    property string label
    property color labelColor: "#ffffff"
    property string value
    property color valueColor: "#ffffff"
    default property alias content: valueArea.data

    property int labelWidth: 120
    property int valueWidth: 140

    width: labelWidth + valueWidth
    x: 4
    height: Math.max(26, valueArea.childrenRect.height, valueText.visible ? valueText.implicitHeight + 6 : 0)

    Label {
        id: labelText
        width: valueRow.labelWidth - 6
        anchors.verticalCenter: parent.verticalCenter
        text: valueRow.label
        textFormat: Text.PlainText
        color: valueRow.labelColor
        opacity: valueRow.enabled ? 1 : 0.45
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
        color: valueRow.valueColor
        opacity: valueRow.enabled ? 1 : 0.45
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
