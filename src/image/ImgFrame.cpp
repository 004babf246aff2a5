#include "ImgFrame.h"

#include "FuzzyCompare.h"
#include <QTimer>

#include <algorithm>
#include <cmath>

ImgFrame::ImgFrame(QObject* parent) : QObject(parent), m_activityTimer(new QTimer(this))
{
    // Single-shot and never restarted while active: the scroll bars show for
    // one second after the first change of a burst, however long it lasts.
    m_activityTimer->setSingleShot(true);
    m_activityTimer->setInterval(PanZoomActiveMs);
    connect(m_activityTimer, &QTimer::timeout, this, &ImgFrame::endActivity);
}

void ImgFrame::setImage(const QImage& image)
{
    m_image = image;
    emit imageChanged();
    emit dataChanged();
}

void ImgFrame::setZoomFit(bool zoomFit)
{
    if (zoomFit == m_zoomFit)
        return;
    m_zoomFit = zoomFit;
    emit zoomFitChanged();
    emit dataChanged();
}

void ImgFrame::setZoomScale(double zoomScale)
{
    if (storeZoomScale(std::clamp(zoomScale, MinZoomScale, MaxZoomScale)))
        emit dataChanged();
}

void ImgFrame::setPanX(double panX)
{
    panX = std::clamp(panX, 0.0, m_maxPanX);
    if (!fuzzyEqual(panX, m_panX)) {
        m_panX = panX;
        emit panXChanged();
        emit dataChanged();
    }
    markActivity();
}

void ImgFrame::setPanY(double panY)
{
    panY = std::clamp(panY, 0.0, m_maxPanY);
    if (!fuzzyEqual(panY, m_panY)) {
        m_panY = panY;
        emit panYChanged();
        emit dataChanged();
    }
    markActivity();
}

void ImgFrame::zoomIn()
{
    zoomBy(+1);
}

void ImgFrame::zoomOut()
{
    zoomBy(-1);
}

double ImgFrame::steppedZoomScale(double zoomScale, int direction)
{
    const double stepped = std::round((zoomScale + direction * 0.25) * 4.0) * 0.25;
    return std::clamp(stepped, MinZoomScale, MaxZoomScale);
}

void ImgFrame::zoomBy(int direction)
{
    // Computed before zoom-to-fit goes off, so that the step starts from the
    // fitted scale.
    const double zoomScale = steppedZoomScale(m_zoomScale, direction);
    setZoomFit(false);
    if (storeZoomScale(zoomScale))
        emit dataChanged();
    markActivity();
}

void ImgFrame::setFittedZoomScale(double zoomScale)
{
    storeZoomScale(zoomScale);
}

void ImgFrame::setMaxPan(double maxPanX, double maxPanY)
{
    if (!fuzzyEqual(maxPanX, m_maxPanX)) {
        m_maxPanX = maxPanX;
        emit maxPanXChanged();
    }
    if (!fuzzyEqual(maxPanY, m_maxPanY)) {
        m_maxPanY = maxPanY;
        emit maxPanYChanged();
    }
}

bool ImgFrame::storeZoomScale(double zoomScale)
{
    if (fuzzyEqual(zoomScale, m_zoomScale))
        return false;
    m_zoomScale = zoomScale;
    emit zoomScaleChanged();
    return true;
}

void ImgFrame::markActivity()
{
    if (m_panZoomActive)
        return;
    m_panZoomActive = true;
    emit panZoomActiveChanged();
    m_activityTimer->start();
}

void ImgFrame::endActivity()
{
    m_panZoomActive = false;
    emit panZoomActiveChanged();
}
