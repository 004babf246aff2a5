import QtQml
import Qt.labs.platform as Platform
import Vorn 1.0

// The choices of a save dialog, read from and stored back to the settings
// under `prefix` ("save/" or "save_batch/"), and kept among the choices the
// source allows: a destination change may drop the format, a format change
// the codec.
QtObject {
    id: saveSettings

    property string prefix: "save/"
    // The kind of source (VornObject.Type) decides what it allows (the
    // rules are SaveChoices'); the batch dialog lists its codecs in its own
    // order.
    property int sourceType: VornObject.UnknownType
    property bool batch: false

    property int dest: SaveManager.FileDest
    property int format: Util.FormatVorn
    property int codec: Util.CodecVorn
    property real frameRate: 30
    property int quality: 15
    property string fileName
    // Lines burned into the pictures (BurnInOptions flags) and their corner;
    // kept while a format without burn-in is chosen, passed on only with
    // one that has it.
    property int burnInLines: 0
    property int burnInCorner: SaveChoices.defaultBurnInCorner()
    readonly property int savedBurnInLines: SaveChoices.hasBurnIn(format) ? burnInLines : 0
    property string folder

    readonly property var destList: SaveChoices.destinations(sourceType)
    readonly property var formatList: SaveChoices.formats(dest, sourceType)
    readonly property var codecList: SaveChoices.codecs(format, batch)
    readonly property int worstQuality: SaveChoices.worstQuality(codec)

    onDestListChanged: dest = destList[SaveChoices.indexOf(destList, dest)].value
    onFormatListChanged: format = formatList[SaveChoices.indexOf(formatList, format)].value
    onCodecListChanged: codec = codecList[SaveChoices.indexOf(codecList, codec)].value
    onWorstQualityChanged: quality = Math.min(Math.max(quality, 1), worstQuality)

    // A number read back from the settings file (numbers may come back as text).
    function number(v, fallback) {
        const n = Number(v)
        return v === undefined || v === null || v === "" || isNaN(n) ? fallback : n
    }

    function setting(key, fallback) {
        return VornApp.setting(prefix + key, fallback)
    }

    function documentsFolder() {
        return VornApp.filePathFromUrl(
                    String(Platform.StandardPaths.writableLocation(Platform.StandardPaths.DocumentsLocation)))
    }

    function load() {
        const storedDest = number(setting("dest", SaveManager.FileDest), SaveManager.FileDest)
        dest = destList[SaveChoices.indexOf(destList, storedDest)].value
        const formats = SaveChoices.formats(dest, sourceType)
        const storedFormat = number(setting("format", Util.FormatVorn), Util.FormatVorn)
        format = formats[SaveChoices.indexOf(formats, storedFormat)].value
        const codecs = SaveChoices.codecs(format, batch)
        codec = codecs[SaveChoices.indexOf(codecs, number(setting("codec", -1), -1))].value
        frameRate = number(setting("fr_rate", 30), 30)
        quality = Math.min(Math.max(number(setting("quality", 15), 15), 1), worstQuality)
        fileName = String(setting("filename", VornApp.currentDateTime()))
        folder = String(setting("folder", documentsFolder()))
        burnInLines = number(setting("burn_in", 0), 0) & 15
        const corners = SaveChoices.burnInCorners()
        const defaultCorner = SaveChoices.defaultBurnInCorner()
        burnInCorner = corners[SaveChoices.indexOf(corners, number(setting("burn_in_corner", defaultCorner),
                                                                   defaultCorner))].value
    }

    function store() {
        VornApp.setSetting(prefix + "dest", dest)
        VornApp.setSetting(prefix + "format", format)
        VornApp.setSetting(prefix + "codec", codec)
        VornApp.setSetting(prefix + "fr_rate", frameRate)
        VornApp.setSetting(prefix + "quality", quality)
        VornApp.setSetting(prefix + "filename", fileName)
        VornApp.setSetting(prefix + "folder", folder)
        VornApp.setSetting(prefix + "burn_in", burnInLines)
        VornApp.setSetting(prefix + "burn_in_corner", burnInCorner)
    }
}
