import QtQuick
import Vorn 1.0

// The offer of a newer VORN, opened by VornApp's vornUpdateAvailable. Closing
// it without skipping lets the next silent check offer the version again.
UpdateOfferDialog {
    objectName: "vornUpdateDialog"

    required property string version

    title: "VORN Update"

    text: "VORN " + version + " is now available for download!"
    downloadUrl: "https://korvanstead.com/vorn/download"
    onFinished: skipped => VornApp.setSetting("vorn/skip_version", skipped ? version : "")
}
