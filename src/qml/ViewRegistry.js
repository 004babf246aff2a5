.pragma library

// The one place where the shell decides which view and which menu bar stand for
// a selected object. Views register here by file name (siblings of main.qml
// in the resources).

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

