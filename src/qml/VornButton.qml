import QtQuick
import QtQuick.Controls

// A push button of the window. The style draws its disabled, highlighted
// and focused looks from the palette; under the pointer it is lighter and
// pressed darker, plainly (the style's own shades are too faint on the dark
// palette).
Button {
    palette.active.button: !enabled ? Theme.palette.active.button : down ? Theme.buttonPressed : hovered ? Theme.buttonHovered : Theme.palette.active.button
    palette.inactive.button: !enabled ? Theme.palette.inactive.button : down ? Theme.buttonPressed : hovered ? Theme.buttonHovered : Theme.palette.inactive.button
}
