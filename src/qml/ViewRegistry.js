.pragma library
.import Vorn 1.0 as Vorn

// The one place where the shell decides which view and which menu bar stand for
// a selected object (siblings of main.qml in the module).

// A camera shows its live image, every playable object its frames with the
// playback strip; with nothing selected, the background view.
function viewFor(vornObject, backgroundView) {
    if (!vornObject)
        return backgroundView === Vorn.VornApp.SaveProgress ? "SaveProgressView.qml" : "AboutView.qml"
    switch (vornObject.type) {
    case Vorn.VornObject.CameraType: return "CameraView.qml"
    case Vorn.VornObject.TakeType: return "TakeView.qml"
    case Vorn.VornObject.SsdTakeType: return "SsdTakeView.qml"
    case Vorn.VornObject.VornFileType: return "FileView.qml"
    case Vorn.VornObject.CameraGroupType: return "ReviewView.qml"
    }
    return "AboutView.qml"
}

function menuBarFor(vornObject) {
    switch (vornObject ? vornObject.type : Vorn.VornObject.UnknownType) {
    case Vorn.VornObject.CameraType: return "CameraMenuBar.qml"
    case Vorn.VornObject.TakeType: return "TakeMenuBar.qml"
    case Vorn.VornObject.SsdTakeType: return "SsdTakeMenuBar.qml"
    case Vorn.VornObject.VornFileType: return "FileMenuBar.qml"
    case Vorn.VornObject.CameraGroupType: return "ReviewMenuBar.qml"
    }
    return "GeneralMenuBar.qml"
}
