.pragma library

// The choices of the save dialogs: destinations, formats and codecs with the
// texts they are shown with, frame-rate presets and quality ranges. Values
// are the numbers of SaveManager.SaveDest, Util.Format and Util.Codec.

var fileDest = 0 // SaveManager.FileDest
var ssdDest = 1  // SaveManager.SsdDest

var formatVorn = 0
var formatAvi = 1
var formatMp4 = 2
var formatTiff = 3
var formatCsv = 4

var codecVorn = 0
var codecCsv = 1
var codecRawBgr24 = 2
var codecRawRgb24 = 3
var codecRawGray8 = 4
var codecRawGray16 = 5
var codecAv1Yuv420p = 6
var codecAv1Yuv420p10 = 7
var codecH264 = 8

var frameRatePresets = ["1", "23.98", "24", "25", "29.97", "30", "50", "59.94", "60", "120", "240"]

// Destinations offered for a source: the camera's SSD only for takes in
// camera memory.
function destinations(memoryTake) {
    const list = [{ text: "File", value: fileDest }]
    if (memoryTake)
        list.push({ text: "SSD", value: ssdDest })
    return list
}

// Formats offered: VORN alone onto the SSD; no metadata file of an SSD take.
function formats(dest, ssdTakeSource) {
    if (dest === ssdDest)
        return [{ text: "VORN", value: formatVorn }]
    const list = [{ text: "VORN", value: formatVorn },
                  { text: "AVI", value: formatAvi },
                  { text: "MP4", value: formatMp4 },
                  { text: "TIFF", value: formatTiff }]
    if (!ssdTakeSource)
        list.push({ text: "CSV (Metadata)", value: formatCsv })
    return list
}

// Codecs of a format; the batch dialog lists the grey ones first.
function codecs(format, batch) {
    switch (format) {
    case formatAvi:
        return batch ? [{ text: "RAW - Gray8", value: codecRawGray8 }, { text: "RAW - BGR24", value: codecRawBgr24 }]
                     : [{ text: "RAW - BGR24", value: codecRawBgr24 }, { text: "RAW - Gray8", value: codecRawGray8 }]
    case formatMp4:
        return [{ text: "AV1 - YUV420P", value: codecAv1Yuv420p },
                { text: "AV1 - YUV420P10", value: codecAv1Yuv420p10 },
                { text: "H.264 - YUV420P", value: codecH264 }]
    case formatTiff:
        return batch ? [{ text: "RAW - Gray8", value: codecRawGray8 },
                        { text: "RAW - Gray16", value: codecRawGray16 },
                        { text: "RAW - RGB24", value: codecRawRgb24 }]
                     : [{ text: "RAW - RGB24", value: codecRawRgb24 },
                        { text: "RAW - Gray8", value: codecRawGray8 },
                        { text: "RAW - Gray16", value: codecRawGray16 }]
    case formatCsv:
        return [{ text: "", value: codecCsv }]
    default:
        return [{ text: "", value: codecVorn }]
    }
}

// The row of `value` in a list of choices, or the first row when absent.
function indexOf(list, value) {
    for (let i = 0; i < list.length; ++i) {
        if (list[i].value === value)
            return i
    }
    return 0
}

function hasCodecChoice(format) {
    return format !== formatVorn && format !== formatCsv
}

function isVideo(format) {
    return format === formatAvi || format === formatMp4
}

function hasQuality(codec) {
    return codec === codecAv1Yuv420p || codec === codecAv1Yuv420p10 || codec === codecH264
}

// The worst quality of an encoder; 1 is the best.
function worstQuality(codec) {
    return codec === codecH264 ? 51 : 63
}

// MP4 sizes depend on the picture; the other formats can be estimated.
function hasSizeEstimate(format) {
    return format !== formatMp4
}

// A number read back from the settings file (numbers may come back as text).
function number(v, fallback) {
    const n = Number(v)
    return v === undefined || v === null || v === "" || isNaN(n) ? fallback : n
}

// The frames to save of a source with frames first..last, from a start and
// an end that may be missing (undefined or NaN). Both are kept inside the
// recording; then the value being edited ("start" or "end") gives way to
// the other one, so that at least one frame is saved.
function normalise(start, end, first, last, edited) {
    let s = (start === undefined || isNaN(start)) ? first : Math.min(Math.max(start, first), last)
    let e = (end === undefined || isNaN(end)) ? last : Math.min(Math.max(end, first), last)
    if (edited === "start")
        s = Math.min(s, e)
    else
        e = Math.max(e, s)
    return { start: s, end: e, count: e - s + 1 }
}
