import QtQuick
import QtQuick.Controls

// A menu entry; the style's palette greys it out while it is disabled.
MenuItem {}
