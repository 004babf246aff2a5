import QtQuick
import QtQuick.Controls

// One row of a pane: a label in the 120-pixel label column and, in the
// 140-pixel value column, either the text `value` or the control given as
// the row's content.
Item {
    id: row

    property string label
    property color labelColor: "#ffffff"
    property string value
    property color valueColor: "#ffffff"
    default property alias content: valueArea.data

    readonly property int labelWidth: 120
    readonly property int valueWidth: 140

    width: labelWidth + valueWidth
    x: 4
    height: Math.max(26, valueArea.childrenRect.height, valueText.visible ? valueText.implicitHeight + 6 : 0)

    Label {
        id: labelText
        width: row.labelWidth - 6
        anchors.verticalCenter: parent.verticalCenter
        text: row.label
        color: row.labelColor
        opacity: row.enabled ? 1 : 0.45
        elide: Text.ElideRight
    }
    Label {
        id: valueText
        objectName: row.objectName !== "" ? row.objectName + "Text" : ""
        x: row.labelWidth
        width: row.valueWidth
        anchors.verticalCenter: parent.verticalCenter
        visible: valueArea.children.length === 0
        text: row.value
        color: row.valueColor
        opacity: row.enabled ? 1 : 0.45
        elide: Text.ElideRight
    }
    Item {
        id: valueArea
        x: row.labelWidth
        width: row.valueWidth
        height: childrenRect.height
        anchors.verticalCenter: parent.verticalCenter
    }
}
