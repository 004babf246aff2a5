.pragma library

// Whether `obj` offers the method `name`. Menu entries whose method belongs to a
// class that a later subsystem completes enable themselves through this once the
// method exists.
function has(obj, name) {
    return !!obj && typeof obj[name] === "function"
}
