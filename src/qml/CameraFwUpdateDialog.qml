import QtQuick

// The offer of newer firmware for one camera, opened by its
// cameraFWUpdateAvailable. The firmware itself is uploaded from the camera's
// firmware pane; "Download Update" opens the maker's firmware page.
UpdateOfferDialog {
    objectName: "cameraFwUpdateDialog"

    required property var camera
    required property string version

    subject: camera && camera.name ? String(camera.name.value ?? "") : ""
    // Offers of several cameras can be open at once: each names its camera.
    title: subject !== "" ? "Firmware Update: " + subject : "Firmware Update"
    text: "Firmware Q7FW " + version + " is now available for download!"
    downloadUrl: "https://korvanstead.com/q7/firmware"
    onFinished: skipped => {
        if (camera)
            camera.setSetting("skip_version", skipped ? version : "")
    }
}
