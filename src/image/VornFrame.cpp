#include "VornFrame.h"

#include "FrameLimits.h"
#include "FrameMetadata.h"
#include "ImgAdjUtil.h"
#include "RawFrame.h"
#include "VornApp.h"

VornFrame::VornFrame(const ImgAdjBlock* block, QObject* parent, const ImgAdjUtil* util)
    : QObject(parent), m_block(block), m_util(util ? util : VornApp::instance()->imgAdjUtil())
{
}

bool VornFrame::setRawFrame(const RawFrame* frame)
{
    return setFrameData(frame->data(), frame->width(), frame->height(), frame->imgSize(), frame->metaSize(),
                        frame->yearOffset());
}

bool VornFrame::setFrameData(const QByteArray& data, quint16 width, quint16 height, quint32 imgSize,
                             quint32 metaSize, quint64 yearOffset)
{
    const bool valid = FrameLimits::validGeometry(width, height, imgSize, metaSize);
    if (!valid) {
        width = height = 0;
        imgSize = metaSize = 0;
    }
    m_rawWidth = width;
    m_rawHeight = height;
    m_imgSize = imgSize;
    m_imgOffset = metaSize;
    m_yearOffset = yearOffset;
    m_raw16.resize(imgSize);
    m_util->expand(data, metaSize, m_raw16);

    // The last frame's set again when nobody else holds it (a writer, the
    // search), otherwise the other one.
    if (!unshared(m_sets[m_current]))
        m_current = 1 - m_current;
    Buffers& set = m_sets[m_current];
    int h = height;
    int w = width;
    m_util->process(*m_block, m_raw16, set.display, set.clean, h, w, m_imageWithFrame ? &set.image : nullptr);
    m_width = quint16(w);
    m_height = quint16(h);

    m_seconds = FrameMetadata::word(data, metaSize, 0) & 0x1FFFFFF;
    m_nanoseconds = FrameMetadata::word(data, metaSize, 1) & 0x3FFFFFFF;
    if (readProbe())
        emit rgbChanged();
    return valid;
}

bool VornFrame::unshared(Buffers& set)
{
    // Without an overlay display shares clean's data within the set; that
    // share does not count, so it is let go while clean is looked at.
    bool own;
    if (set.display.constData() == set.clean.constData() && !set.clean.isEmpty()) {
        set.display = QList<quint16>();
        own = set.clean.isDetached();
        set.display = set.clean;
    } else {
        own = (set.clean.isEmpty() || set.clean.isDetached()) &&
              (set.display.isEmpty() || set.display.isDetached());
    }
    return own && (set.image.isNull() || set.image.isDetached());
}

bool VornFrame::readProbe()
{
    const int x = m_rgbPoint.x();
    const int y = m_rgbPoint.y();
    if (x < 0 || y < 0 || x >= m_width || y >= m_height)
        return false;
    const qsizetype i = (qsizetype(y) * m_width + x) * 3;
    const QList<quint16>& clean = m_sets[m_current].clean;
    if (i + 2 >= clean.size())
        return false;
    m_b = clean.at(i);
    m_g = clean.at(i + 1);
    m_r = clean.at(i + 2);
    return true;
}

void VornFrame::setRgbPoint(const QPoint& point)
{
    if (point == m_rgbPoint)
        return;
    m_rgbPoint = point;
    if (readProbe())
        emit rgbChanged();
    emit rgbPointChanged();
}

QImage VornFrame::image() const
{
    if (m_imageWithFrame)
        return m_sets[m_current].image;
    return m_util->bgr888Image(display(), m_height, m_width);
}

QImage VornFrame::gray16Image() const
{
    return m_util->gray16Image(display(), m_height, m_width);
}

QImage VornFrame::gray8Image() const
{
    return m_util->gray8Image(display(), m_height, m_width);
}
