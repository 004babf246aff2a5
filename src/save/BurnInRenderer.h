#pragma once

#include "BurnInOptions.h"

#include <QHash>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <vector>

class PlaybackVornObject;
class SaveJob;
class VornFrame;

// Burns lines of text into the pictures of a save: white glyphs with a black
// outline, so that they read on bright and on dark footage, stacked in one
// corner, their size following the picture's. The glyphs come from the
// program's own font (Inter, in the resources), never from the system's, so
// every machine burns the same pixels.
//
// The glyphs are drawn once, when the renderer is made (that needs the font
// engine, so it is made where the writer starts, in the GUI thread); a copy
// then works in the writer's thread with pixels only: per frame it stamps the
// cached glyphs of the lines that changed into a coverage mask of the text
// block and blends that into the picture. Lines that stay the same (the
// camera's) are not stamped again.
class BurnInRenderer
{
public:
    // Burns nothing.
    BurnInRenderer() = default;
    // For pictures of `pictureSize` (after rotation); `cameraText` is the
    // camera line, `framePeriod` the seconds between two frames of the
    // recording (0 when not known).
    BurnInRenderer(const BurnInOptions& options, QSize pictureSize, const QString& cameraText,
                   double framePeriod);

    bool isActive() const { return m_options.active() && !m_glyphs.isEmpty(); }
    const BurnInOptions& options() const { return m_options; }
    int pixelSize() const { return m_pixelSize; }

    // The lines of frame `fr`, whose time stamp is `seconds` since 1970 and
    // `nanoseconds`, in the order of the options' bits.
    QStringList linesFor(qint64 fr, quint64 seconds, quint32 nanoseconds) const;
    // The same for frame `fr` held in `frame`.
    QStringList linesFor(qint64 fr, const VornFrame& frame) const;
    static QString frameText(qint64 fr);
    static QString triggerText(qint64 fr, double framePeriod);
    // "Bench 2 · Take 3" for a take in memory, the camera and its file for
    // an SSD take; a VORN file tells the camera it came from (or its name
    // stands in).
    static QString cameraText(const SaveJob* job);
    // From the recording's clocks when it has them, else from its rate.
    static double framePeriod(const PlaybackVornObject* source);
    // The renderer a save asks for, for pictures of `pictureSize`; one that
    // burns nothing when the save asks for no burn-in.
    static BurnInRenderer forJob(const SaveJob* job, QSize pictureSize);

    // A picture in memory: rows of `width` pixels `rowBytes` apart from the
    // top row at `origin` (negative for a picture stored bottom-up), each
    // pixel `pixelBytes` wide with `channels` samples of 8 or 16 bits.
    struct Picture
    {
        uchar* origin;
        qsizetype rowBytes;
        int pixelBytes;
        int channels;
        bool sixteenBits;
        int width;
        int height;
    };
    // Burns `lines` into a picture (of the size given at construction).
    void draw(const Picture& picture, const QStringList& lines);
    // The same for QImage formats BGR888, RGB888, Grayscale8 and Grayscale16
    // (others are left alone).
    void draw(QImage* picture, const QStringList& lines);
    // Where the last draw may have changed pixels: nothing outside changes.
    QRect region() const { return m_region; }

private:
    struct Glyph
    {
        // Coverage of outline and body, and of the body alone, both 0..255.
        QImage outline;
        QImage body;
        // Top-left of the images from the pen position on the baseline.
        QPoint offset;
        double advance = 0;
    };

    void prepareGlyphs(const QString& characters);
    // Lays the lines out in the block; true when the block changed size.
    bool layout(const QStringList& lines);
    int lineWidth(const QString& line) const;
    // Stamps the lines that differ from those shown.
    void update(const QStringList& lines);
    void stampLine(int index, const QString& line);
    template <typename Sample> void blend(const Picture& picture);

    BurnInOptions m_options;
    QString m_cameraText;
    double m_framePeriod = 0;
    int m_pixelSize = 0;
    int m_outline = 0;
    int m_ascent = 0;
    int m_lineHeight = 0;
    // Figures share one width, as tabular figures do, so that a time stamp
    // does not jitter from frame to frame.
    double m_figureAdvance = 0;
    QHash<QChar, Glyph> m_glyphs;

    // The text block: its lines as last stamped, its size and its masks.
    QStringList m_shown;
    QSize m_block;
    std::vector<uchar> m_outlineMask;
    std::vector<uchar> m_bodyMask;
    QRect m_region;
};
