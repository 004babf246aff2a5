#include "HistogramControl.h"

#include "Histogram.h"

#include <QQuickWindow>
#include <QSGImageNode>

HistogramControl::HistogramControl(QQuickItem* parent) : QQuickItem(parent)
{
    setFlag(ItemHasContents);
}

void HistogramControl::setHistogram(Histogram* histogram)
{
    if (histogram == m_histogram)
        return;
    disconnect(m_imageConnection);
    m_histogram = histogram;
    if (histogram)
        m_imageConnection = connect(histogram, &Histogram::imageChanged, this, &HistogramControl::render);
    emit histogramChanged();
    // Show the new histogram's frame at once instead of the previous one's
    // until its next frame.
    render();
}

void HistogramControl::render()
{
    bool drawn = false;
    if (m_histogram) {
        const QList<quint16> image = m_histogram->image();
        const int width = m_histogram->width();
        const int height = m_histogram->height();
        // A buffer shorter than its stated size would be read past its end.
        if (qsizetype(width) * height * 3 <= image.size()) {
            m_renderer.render(image.constData(), width, height, int(this->width()), int(this->height()),
                              BinLimit, m_picture);
            drawn = true;
        }
    }
    if (!drawn)
        m_picture = QImage();
    m_pictureDirty = true;
    setImplicitSize(m_picture.width(), m_picture.height());
    update();
}

QSGNode* HistogramControl::updatePaintNode(QSGNode* oldNode, UpdatePaintNodeData*)
{
    auto* node = static_cast<QSGImageNode*>(oldNode);
    if (m_picture.isNull()) {
        delete node;
        return nullptr;
    }
    if (!node) {
        node = window()->createImageNode();
        node->setOwnsTexture(true);
        m_pictureDirty = true;
    }
    if (m_pictureDirty) {
        // The node owns its texture and deletes the previous one.
        node->setTexture(window()->createTextureFromImage(m_picture));
        m_pictureDirty = false;
    }
    node->setRect(boundingRect());
    node->setSourceRect(QRectF(QPointF(0, 0), m_picture.size()));
    return node;
}
