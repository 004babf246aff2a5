.pragma library

// Column widths of the save progress view; the name column takes the rest.
var dest = 60
var status = 240
var camera = 140
var source = 180
var buttons = 64
