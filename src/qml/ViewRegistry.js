.pragma library

// The one place where the shell decides which view and which menu bar stand for
// a selected object, and which dialogs of later subsystems exist. Views and
// dialogs register here by file name (siblings of main.qml in the resources).

// Object type (VornObject.Type) -> central view. A camera shows its live
// image, every playable object its frames with the playback strip.
var objectViews = {
    1: "CameraView.qml",  // VornObject.CameraType
    3: "TakeView.qml",    // VornObject.TakeType
    4: "SsdTakeView.qml", // VornObject.SsdTakeType
    5: "FileView.qml"     // VornObject.VornFileType
}

// Background views (VornApp.BackgroundView) shown while nothing is selected.
var backgroundViews = {
    0: "AboutView.qml",       // VornApp.Empty
    1: "SaveProgressView.qml" // VornApp.SaveProgress
}

var objectMenuBars = {
    1: "CameraMenuBar.qml",
    3: "TakeMenuBar.qml",
    4: "SsdTakeMenuBar.qml",
    5: "FileMenuBar.qml"
}
var generalMenuBar = "GeneralMenuBar.qml"

// Dialogs of later subsystems; an empty name means the dialog does not exist
// yet, and the menu entries that open it stay disabled.
var dialogs = {
    save: "SaveDialog.qml",           // "Save..." of a take, SSD take or file
    batchSave: "BatchSaveDialog.qml", // "Save All Takes...", "Save All SSD Takes...", "Batch Save VORN Files..."
    ssdTakeOpen: "SsdOpenDialog.qml", // "Open SSD Take..."
    vornUpdate: "VornUpdateDialog.qml",         // offered by vornUpdateAvailable
    cameraFwUpdate: "CameraFwUpdateDialog.qml"  // offered by a camera's cameraFWUpdateAvailable
}

function viewFor(vornObject, backgroundView) {
    if (vornObject)
        return objectViews[vornObject.type] || "AboutView.qml"
    return backgroundViews[backgroundView] || "AboutView.qml"
}

function menuBarFor(vornObject) {
    if (vornObject)
        return objectMenuBars[vornObject.type] || generalMenuBar
    return generalMenuBar
}

function hasDialog(name) {
    return dialogs[name] !== ""
}
