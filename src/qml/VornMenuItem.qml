import QtQuick
import QtQuick.Controls

// A menu entry. The style's palette has one text colour for every state, so a
// disabled entry is told apart by fading it.
MenuItem {
    opacity: enabled ? 1.0 : 0.4
}
