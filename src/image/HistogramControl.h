#pragma once

#include "HistogramRenderer.h"

#include <QImage>
#include <QPointer>
#include <QQuickItem>
#include <QtQml/qqmlregistration.h>

class Histogram;

// Renders the bound Histogram at the item's size into a picture and paints it.
// The picture is rebuilt only when a new frame arrives, so a resize shows with
// the next frame.
class HistogramControl : public QQuickItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(Histogram* histogram READ histogram WRITE setHistogram NOTIFY histogramChanged)

public:
    // The histogram spreads over at most this many bins.
    static constexpr int BinLimit = 256;

    explicit HistogramControl(QQuickItem* parent = nullptr);

    Histogram* histogram() const { return m_histogram; }
    void setHistogram(Histogram* histogram);

    // The rendered picture (8-bit BGR); null before the first frame.
    QImage picture() const { return m_picture; }

signals:
    void histogramChanged();

protected:
    QSGNode* updatePaintNode(QSGNode* oldNode, UpdatePaintNodeData* data) override;

private:
    void render();

    QPointer<Histogram> m_histogram;
    QMetaObject::Connection m_imageConnection;
    HistogramRenderer m_renderer;
    // Drawn into again for the next frame unless the scene graph still holds it.
    QImage m_picture;
    // Set when the picture changed since the last paint.
    bool m_pictureDirty = false;
};
