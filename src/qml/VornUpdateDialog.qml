import QtQuick

// The offer of a newer VORN, opened by vornApp's vornUpdateAvailable. Closing
// it without skipping lets the next silent check offer the version again.
UpdateOfferDialog {
    objectName: "vornUpdateDialog"

    required property string version

    title: "VORN Update"

    text: "VORN " + version + " is now available for download!"
    downloadUrl: "https://korvanstead.com/vorn/download"
    onFinished: skipped => vornApp.setSetting("vorn/skip_version", skipped ? version : "")
}
