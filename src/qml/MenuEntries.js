.pragma library

// Inserts `entries` into `menu` from `index` on: each entry is an Action, or
// null for a separator (made from `separatorComponent`). Returns the index
// after the last inserted entry.
function insert(menu, index, entries, separatorComponent) {
    for (let i = 0; i < entries.length; ++i) {
        if (entries[i] === null)
            menu.insertItem(index, separatorComponent.createObject(menu.contentItem))
        else
            menu.insertAction(index, entries[i])
        ++index
    }
    return index
}
