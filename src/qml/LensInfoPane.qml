import QtQuick
import "Format.js" as Format

// "Lens Info": the lens as it was when the recording was made.
CollapsiblePane {
    id: lensInfoPane
    objectName: "lensInfoPane"
    title: "Lens Info"

    required property var vornObject

    function value(name, fallback) {
        return Format.val(vornObject ? vornObject[name] : null, fallback)
    }

    // What the lens did not report (0 or empty) shows as a dash.
    readonly property string notReported: "\u2014"

    // "low – high unit" (lenses name their f-stop limits either way round),
    // or the one value when the lens has no range.
    function range(minName, maxName, decimals, unit) {
        const a = Number(value(minName, 0)), b = Number(value(maxName, 0))
        const lo = Math.min(a, b), hi = Math.max(a, b)
        if (lo === 0 && hi === 0)
            return notReported
        if (lo === hi)
            return lo.toFixed(decimals) + unit
        return lo.toFixed(decimals) + " \u2013 " + hi.toFixed(decimals) + unit
    }

    ValueRow { objectName: "lensMountRow"; label: "Mount"; value: lensInfoPane.value("lensMount", "") || lensInfoPane.notReported }
    ValueRow { objectName: "lensNameRow"; label: "Name"; value: lensInfoPane.value("lensName", "") || lensInfoPane.notReported }
    ValueRow {
        objectName: "lensFocalLengthRow"
        label: "Focal Length"
        value: {
            const f = Number(lensInfoPane.value("lensFocalLen", 0))
            return f > 0 ? f + " mm" : lensInfoPane.notReported
        }
    }
    ValueRow {
        objectName: "lensFocalRangeRow"
        label: "Focal Range"
        value: lensInfoPane.range("lensFocalLenMin", "lensFocalLenMax", 0, " mm")
    }
    ValueRow {
        objectName: "lensFstopRow"
        label: "F-stop"
        value: {
            const f = Number(lensInfoPane.value("lensFstop", 0))
            return f > 0 ? "f/" + f.toFixed(1) : lensInfoPane.notReported
        }
    }
    ValueRow {
        objectName: "lensFstopRangeRow"
        label: "F-stop Range"
        value: lensInfoPane.range("lensFstopMin", "lensFstopMax", 1, "")
    }
    ValueRow {
        objectName: "lensFocusDistanceRow"
        label: "Focus Distance"
        value: {
            const d = Number(lensInfoPane.value("lensFocusDist", 0))
            if (d === 0)
                return lensInfoPane.notReported
            if (d === 65535)
                return "\u221E"
            return Math.round(d * 100) / 100 + " m"
        }
    }
}
