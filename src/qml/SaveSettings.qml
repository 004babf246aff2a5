import QtQml
import Qt.labs.platform as Platform
import Vorn 1.0
import "SaveChoices.js" as SaveChoices

// The choices of a save dialog, read from and stored back to the settings
// under `prefix` ("save/" or "save_batch/"), and kept among the choices the
// source allows: a destination change may drop the format, a format change
// the codec.
QtObject {
    id: saveSettings

    property string prefix: "save/"
    // What the source allows: the SSD only for takes in camera memory, no
    // metadata file of SSD takes; the batch dialog lists its codecs in its
    // own order.
    property bool memoryTake: false
    property bool ssdTakeSource: false
    property bool batch: false

    property int dest: SaveChoices.fileDest
    property int format: SaveChoices.formatVorn
    property int codec: SaveChoices.codecVorn
    property real frameRate: 30
    property int quality: 15
    property string fileName
    property string folder

    readonly property var destList: SaveChoices.destinations(memoryTake)
    readonly property var formatList: SaveChoices.formats(dest, ssdTakeSource)
    readonly property var codecList: SaveChoices.codecs(format, batch)
    readonly property int worstQuality: SaveChoices.worstQuality(codec)

    onDestListChanged: dest = destList[SaveChoices.indexOf(destList, dest)].value
    onFormatListChanged: format = formatList[SaveChoices.indexOf(formatList, format)].value
    onCodecListChanged: codec = codecList[SaveChoices.indexOf(codecList, codec)].value
    onWorstQualityChanged: quality = Math.min(Math.max(quality, 1), worstQuality)

    function setting(key, fallback) {
        return VornApp.setting(prefix + key, fallback)
    }

    function documentsFolder() {
        return VornApp.filePathFromUrl(
                    String(Platform.StandardPaths.writableLocation(Platform.StandardPaths.DocumentsLocation)))
    }

    function load() {
        const storedDest = SaveChoices.number(setting("dest", SaveChoices.fileDest), SaveChoices.fileDest)
        dest = destList[SaveChoices.indexOf(destList, storedDest)].value
        const formats = SaveChoices.formats(dest, ssdTakeSource)
        const storedFormat = SaveChoices.number(setting("format", SaveChoices.formatVorn), SaveChoices.formatVorn)
        format = formats[SaveChoices.indexOf(formats, storedFormat)].value
        const codecs = SaveChoices.codecs(format, batch)
        codec = codecs[SaveChoices.indexOf(codecs, SaveChoices.number(setting("codec", -1), -1))].value
        frameRate = SaveChoices.number(setting("fr_rate", 30), 30)
        quality = Math.min(Math.max(SaveChoices.number(setting("quality", 15), 15), 1), worstQuality)
        fileName = String(setting("filename", VornApp.currentDateTime()))
        folder = String(setting("folder", documentsFolder()))
    }

    function store() {
        VornApp.setSetting(prefix + "dest", dest)
        VornApp.setSetting(prefix + "format", format)
        VornApp.setSetting(prefix + "codec", codec)
        VornApp.setSetting(prefix + "fr_rate", frameRate)
        VornApp.setSetting(prefix + "quality", quality)
        VornApp.setSetting(prefix + "filename", fileName)
        VornApp.setSetting(prefix + "folder", folder)
    }
}
