.pragma library

// Column widths of the save progress view, shared by its header and rows so
// that they line up; the name column takes the rest, at least `nameMinimum`.
var spacing = 8
var dest = 50
var nameMinimum = 120
var status = 210
var camera = 120
var source = 140
var buttons = 92

// "1:05 left", "1:02:03 left" for a number of seconds.
function timeLeft(seconds) {
    const s = Math.max(0, Math.round(seconds))
    const h = Math.floor(s / 3600)
    const m = Math.floor(s / 60) % 60
    const two = n => (n < 10 ? "0" : "") + n
    return (h > 0 ? h + ":" + two(m) : m) + ":" + two(s % 60) + " left"
}
