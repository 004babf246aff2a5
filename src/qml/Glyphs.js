.pragma library

// Code points of the remixicon glyphs the window uses (font family "remixicon").
var addFill = "\uEA12"
var download2Line = "\uEC54"
var vidicon = "\uF288"
var file3 = "\uECC5"
var saveLine = "\uF0B3"
var clapperboardLine = "\uEB8F"
var deleteBinLine = "\uEC2A"
var closeLargeFill = "\uF4C7"
var videoOffLine = "\uF51C"
var loopRightLine = "\uF33F"
var informationLine = "\uEE59"
