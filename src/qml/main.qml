import QtQuick
import QtQuick.Controls

ApplicationWindow {
    title: "VORN"
    visible: true
    minimumWidth: 1280
    minimumHeight: 720
}
