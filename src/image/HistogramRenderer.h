#pragma once

#include <QImage>
#include <QtGlobal>

// Draws the three-colour histogram of a 16-bit BGR frame: per channel a filled
// outline (150) with its curve (255) in the channel's own colour component,
// all three on one vertical scale so that the tallest peak reaches the top.
class HistogramRenderer
{
public:
    // bgr holds width × height × 3 samples in B, G, R order. Gives a
    // QImage::Format_BGR888 picture of pictureWidth × pictureHeight with at
    // most binLimit bins across it; a null picture when there is nothing to
    // draw (no samples or no picture area).
    static QImage render(const quint16* bgr, int width, int height, int pictureWidth, int pictureHeight,
                         int binLimit = 256);
};
