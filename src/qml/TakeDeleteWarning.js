.pragma library
.import "Format.js" as Format

// Whether deleting takes asks first: the hand-edited setting
// "vorn/disable_take_delete_warn" turns the confirmation dialog off.
function enabled(vornApp) {
    return !Format.isTrue(vornApp.setting("vorn/disable_take_delete_warn", false))
}
