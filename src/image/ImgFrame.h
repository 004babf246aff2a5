#pragma once

#include <QImage>
#include <QObject>
#include <QtQml/qqmlregistration.h>

class QTimer;

// The displayable picture of a playable object together with the view state
// that QML binds to: zoom-to-fit, zoom scale, pan position and pan limits.
// The pan limits and the fitted scale are computed by the item that paints
// the picture (ImgFrameControl), which knows the view size.
class ImgFrame : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(QImage image READ image WRITE setImage NOTIFY imageChanged)
    Q_PROPERTY(bool zoomFit READ zoomFit WRITE setZoomFit NOTIFY zoomFitChanged)
    Q_PROPERTY(double zoomScale READ zoomScale WRITE setZoomScale NOTIFY zoomScaleChanged)
    Q_PROPERTY(double panX READ panX WRITE setPanX NOTIFY panXChanged)
    Q_PROPERTY(double panY READ panY WRITE setPanY NOTIFY panYChanged)
    Q_PROPERTY(double maxPanX READ maxPanX NOTIFY maxPanXChanged)
    Q_PROPERTY(double maxPanY READ maxPanY NOTIFY maxPanYChanged)
    Q_PROPERTY(bool panZoomActive READ panZoomActive NOTIFY panZoomActiveChanged)

public:
    static constexpr double MinZoomScale = 0.75;
    static constexpr double MaxZoomScale = 8.0;
    // How long panZoomActive stays true after a pan or zoom.
    static constexpr int PanZoomActiveMs = 1000;

    explicit ImgFrame(QObject* parent = nullptr);

    QImage image() const { return m_image; }
    bool zoomFit() const { return m_zoomFit; }
    // Screen pixels per image pixel.
    double zoomScale() const { return m_zoomScale; }
    // Fraction of the image width/height hidden left of/above the view.
    double panX() const { return m_panX; }
    double panY() const { return m_panY; }
    // 1 − the visible fraction of the image width/height.
    double maxPanX() const { return m_maxPanX; }
    double maxPanY() const { return m_maxPanY; }
    bool panZoomActive() const { return m_panZoomActive; }

    void setImage(const QImage& image);
    void setZoomFit(bool zoomFit);
    // Clamped to MinZoomScale … MaxZoomScale.
    void setZoomScale(double zoomScale);
    // Clamped to 0 … maxPanX/maxPanY; marks pan/zoom activity in any case.
    void setPanX(double panX);
    void setPanY(double panY);

    // Zoom in or out by a quarter step, turning zoom-to-fit off.
    Q_INVOKABLE void zoomIn();
    Q_INVOKABLE void zoomOut();

    // For the painting item's layout: a zoom-to-fit scale is stored as it is,
    // beyond the limits that apply to user-chosen scales.
    void setFittedZoomScale(double zoomScale);
    void setMaxPan(double maxPanX, double maxPanY);

    // Rounds to quarter steps and clamps (the zoomIn/zoomOut step).
    static double steppedZoomScale(double zoomScale, int direction);

signals:
    void imageChanged();
    void zoomFitChanged();
    void zoomScaleChanged();
    void panXChanged();
    void panYChanged();
    void maxPanXChanged();
    void maxPanYChanged();
    void panZoomActiveChanged();
    // Whatever must be drawn has changed.
    void dataChanged();

private:
    void zoomBy(int direction);
    bool storeZoomScale(double zoomScale);
    void markActivity();
    void endActivity();

    QImage m_image;
    bool m_zoomFit = false;
    double m_zoomScale = 1.0;
    double m_panX = 0.0;
    double m_panY = 0.0;
    double m_maxPanX = 0.0;
    double m_maxPanY = 0.0;
    bool m_panZoomActive = false;
    QTimer* m_activityTimer;
};
