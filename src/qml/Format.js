.pragma library

// Texts and number limits the camera view and its dialogs share.

var uint32Max = 4294967295
var int32Min = -2147483648
var int32Max = 2147483647

// A text from a camera or a file as it must stand inside a rich-text
// message: markup characters escaped, so it shows as typed and loads nothing.
function html(text) {
    return String(text).replace(/&/g, "&amp;").replace(/</g, "&lt;").replace(/>/g, "&gt;")
                       .replace(/"/g, "&quot;").replace(/'/g, "&#39;")
}

// A value object's current value, or `fallback` before the first poll.
function val(v, fallback) {
    if (!v || v.value === undefined || v.value === null)
        return fallback
    return v.value
}

// "<n> fr" and, on a second line, how long those frames last at `rate` fps.
function framesWithDuration(frames, rate) {
    return frames + " fr\n(" + duration(rate > 0 ? frames / rate : 0) + ")"
}

function duration(seconds) {
    if (seconds < 1e-6)
        return (seconds * 1e9).toFixed(0) + " ns"
    if (seconds < 1e-3)
        return (seconds * 1e6).toFixed(2) + " us"
    if (seconds < 1)
        return (seconds * 1e3).toFixed(2) + " ms"
    return seconds.toFixed(2) + " s"
}

function clamp(v, lo, hi) {
    return Math.min(Math.max(v, lo), hi)
}

// A typed number, or NaN when the text is not one.
function parseNumber(text) {
    const t = String(text).trim()
    if (t === "" || !/^[-+]?(\d+\.?\d*|\.\d+)([eE][-+]?\d+)?$/.test(t))
        return NaN
    return Number(t)
}

// A setting read back from the settings file: true, "true" or 1.
function isTrue(v) {
    return v === true || v === "true" || v === 1
}
