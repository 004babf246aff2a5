import QtQuick

// The dialogs that the panes of a view open: windows from sibling QML files,
// centred on the view's window and destroyed when they close.
QtObject {
    id: viewDialogs

    // An item of the view; the dialogs belong to its window.
    required property Item view

    function centreOnWindow(dialog) {
        const w = viewDialogs.view.Window.window
        if (!w)
            return
        dialog.x = w.x + Math.round((w.width - dialog.width) / 2)
        dialog.y = w.y + Math.round((w.height - dialog.height) / 2)
    }

    // Opens a dialog window from a sibling QML file, centred on the main
    // window; it is destroyed when it closes.
    function openWindow(file, properties) {
        const component = Qt.createComponent(file)
        if (component.status !== Component.Ready) {
            console.error("can't create", file, component.errorString())
            return null
        }
        const dialog = component.createObject(viewDialogs.view.Window.window, properties || {})
        dialog.closing.connect(function() { dialog.destroy() })
        centreOnWindow(dialog)
        dialog.show()
        dialog.requestActivate()
        return dialog
    }

    // Asks for one text (label, text, validator, acceptText in `properties`);
    // calls `onAccepted(text)` on "OK".
    function ask(properties, onAccepted) {
        const dialog = openWindow("InputDialog.qml", properties)
        if (dialog)
            dialog.accepted.connect(onAccepted)
        return dialog
    }
}
