import QtQuick

// The menu bar while nothing, or an object without entries of its own, is selected.
VornMenuBar {}
