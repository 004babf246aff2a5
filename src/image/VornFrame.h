#pragma once

#include "ImgAdjBlock.h"

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QtQml/qqmlregistration.h>

class ImgAdjUtil;
class RawFrame;

// One frame after the image pipeline: the expanded samples, the processed
// 16-bit BGR picture with and without overlay, the frame's time stamp, and
// the pixel probe. The display, the writers and the image search each own
// theirs.
//
// Its buffers are kept from frame to frame while the size stays: two sets
// used in turn, so that a frame can be processed while the previous one is
// still held elsewhere (the histogram keeps the clean buffer, the window the
// picture). A set still shared is never written; process() then gives it
// new buffers.
class VornFrame : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(QPoint rgbPoint READ rgbPoint WRITE setRgbPoint NOTIFY rgbPointChanged)
    Q_PROPERTY(quint16 r READ r NOTIFY rgbChanged)
    Q_PROPERTY(quint16 g READ g NOTIFY rgbChanged)
    Q_PROPERTY(quint16 b READ b NOTIFY rgbChanged)

public:
    // Processes with the settings of `block`; `util` defaults to the
    // application's pipeline object.
    VornFrame(const ImgAdjBlock* block, QObject* parent = nullptr, const ImgAdjUtil* util = nullptr);

    // Processes one frame record. A shape that is not a sane frame (see
    // FrameLimits) is refused before anything is allocated: the frame is
    // then empty and the result false. A record shorter than its shape reads
    // as zero beyond its end.
    bool setRawFrame(const RawFrame* frame);
    bool setFrameData(const QByteArray& data, quint16 width, quint16 height, quint32 imgSize,
                      quint32 metaSize, quint64 yearOffset);

    // The display picture (with overlay) in 8 bits, BGR888.
    QImage image() const;
    // Whether image() is made with each frame, while its rows are still in
    // the cache, rather than on request: for the display, which shows every
    // frame's picture.
    void setImageWithFrame(bool withFrame) { m_imageWithFrame = withFrame; }
    // Grey of the display picture at 16 and at 8 bits.
    QImage gray16Image() const;
    QImage gray8Image() const;

    QPoint rgbPoint() const { return m_rgbPoint; }
    void setRgbPoint(const QPoint& point);
    quint16 r() const { return m_r; }
    quint16 g() const { return m_g; }
    quint16 b() const { return m_b; }

    const QList<quint16>& raw16() const { return m_raw16; }
    const QList<quint16>& display() const { return m_sets[m_current].display; }
    const QList<quint16>& clean() const { return m_sets[m_current].clean; }
    quint16 width() const { return m_width; }
    quint16 height() const { return m_height; }
    // Size of the mosaic before rotation.
    quint16 rawWidth() const { return m_rawWidth; }
    quint16 rawHeight() const { return m_rawHeight; }
    quint32 imgSize() const { return m_imgSize; }
    quint32 imgOffset() const { return m_imgOffset; }
    quint64 yearOffset() const { return m_yearOffset; }
    quint32 seconds() const { return m_seconds; }
    quint32 nanoseconds() const { return m_nanoseconds; }
    const ImgAdjBlock* block() const { return m_block; }

signals:
    void rgbPointChanged();
    void rgbChanged();

private:
    struct Buffers
    {
        QList<quint16> display;
        QList<quint16> clean;
        QImage image;
    };

    bool readProbe();
    // Whether nothing outside this frame holds any buffer of the set.
    static bool unshared(Buffers& set);

    const ImgAdjBlock* m_block;
    const ImgAdjUtil* m_util;
    QList<quint16> m_raw16;
    Buffers m_sets[2];
    // The set of the last frame.
    int m_current = 0;
    bool m_imageWithFrame = false;
    quint16 m_width = 0;
    quint16 m_height = 0;
    quint16 m_rawWidth = 0;
    quint16 m_rawHeight = 0;
    quint32 m_imgSize = 0;
    quint32 m_imgOffset = 0;
    quint64 m_yearOffset = 0;
    quint32 m_seconds = 0;
    quint32 m_nanoseconds = 0;
    QPoint m_rgbPoint;
    quint16 m_r = 0;
    quint16 m_g = 0;
    quint16 m_b = 0;
};
