.pragma library

// Whether deleting takes asks first: the hand-edited setting
// "vorn/disable_take_delete_warn" turns the confirmation dialog off.
function enabled(vornApp) {
    const disabled = vornApp.setting("vorn/disable_take_delete_warn", false)
    return !(disabled === true || disabled === "true" || disabled === 1)
}
