#pragma once

#include <QString>
#include <QStringList>

// What a save burns into its pictures: a set of lines, stacked in this order,
// and the corner they stand in. No line, no burn-in.
struct BurnInOptions
{
    enum Line {
        TimeLine = 1,    // the frame's time stamp, as the display shows it
        FrameLine = 2,   // "Frame 12"
        TriggerLine = 4, // frame number x frame period: "Trigger +12.345 ms"
        CameraLine = 8,  // camera name and take: "Bench 2 · Take 3"
        AllLines = 15,
    };
    enum Corner { TopLeft = 0, TopRight = 1, BottomLeft = 2, BottomRight = 3 };

    int lines = 0;
    // Where the display shows its time stamp.
    Corner corner = BottomLeft;

    bool active() const { return (lines & AllLines) != 0; }
    bool operator==(const BurnInOptions& other) const
    {
        return lines == other.lines && corner == other.corner;
    }

    // The names vorn-cli knows the lines and corners by, in the order of the
    // bits and of the enum.
    static QStringList lineNames() { return {"time", "frame", "trigger", "camera"}; }
    static QStringList cornerNames() { return {"top-left", "top-right", "bottom-left", "bottom-right"}; }
};
