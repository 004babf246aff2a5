import QtQuick
import Vorn 1.0

// The menu bar while nothing, or an object without entries of its own, is selected.
VornMenuBar {}
