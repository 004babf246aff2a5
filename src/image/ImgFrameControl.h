#pragma once

#include <QPointer>
#include <QQuickItem>
#include <QRectF>
#include <QtQml/qqmlregistration.h>

class ImgFrame;

// Paints an ImgFrame through the scene graph and turns mouse, wheel and
// keyboard input into zoom and pan changes and into the image pixel under the
// cursor.
class ImgFrameControl : public QQuickItem
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(ImgFrame* imgFrame READ imgFrame WRITE setImgFrame NOTIFY imgFrameChanged)
    Q_PROPERTY(QRectF paintedRect READ paintedRect NOTIFY paintedRectChanged)
    Q_PROPERTY(int mouseX READ mouseX NOTIFY mouseXYChanged)
    Q_PROPERTY(int mouseY READ mouseY NOTIFY mouseXYChanged)
    Q_PROPERTY(bool containsMouse READ containsMouse NOTIFY containsMouseChanged)

public:
    explicit ImgFrameControl(QQuickItem* parent = nullptr);

    ImgFrame* imgFrame() const { return m_imgFrame; }
    void setImgFrame(ImgFrame* imgFrame);

    // Where the picture lies in the item.
    QRectF paintedRect() const { return m_paintedRect; }
    // The part of the image shown, in image pixels.
    QRectF sourceRect() const { return m_sourceRect; }
    // Image pixel under the cursor; 0, 0 when the cursor is not over the image.
    int mouseX() const { return m_mouseX; }
    int mouseY() const { return m_mouseY; }
    bool containsMouse() const { return m_containsMouse; }

    // The image pixel at a position in the item (it may lie outside the image).
    QPoint pixelAt(const QPointF& position) const;

signals:
    void imgFrameChanged();
    void paintedRectChanged();
    void mouseXYChanged();
    void containsMouseChanged();
    void rightClicked();

protected:
    QSGNode* updatePaintNode(QSGNode* oldNode, UpdatePaintNodeData* data) override;
    void geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry) override;
    void hoverEnterEvent(QHoverEvent* event) override;
    void hoverMoveEvent(QHoverEvent* event) override;
    void hoverLeaveEvent(QHoverEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    // Lays the picture out in the item; run whenever the frame's data or the
    // item's size change.
    void updateInternal();

private:
    void imgFrameDataChanged();
    bool hasImage() const;
    bool isOverImage(const QPointF& position, QPoint* pixel) const;
    void setMouseXY(int x, int y);
    void setContainsMouse(bool containsMouse);
    void zoomAtCursor(const QPointF& position, int direction);
    void zoomKeepingCentre(int direction);

    QPointer<ImgFrame> m_imgFrame;
    QMetaObject::Connection m_dataConnection;
    QRectF m_paintedRect;
    QRectF m_sourceRect;
    int m_mouseX = 0;
    int m_mouseY = 0;
    bool m_containsMouse = false;
    // Last left-button position while dragging.
    double m_pressX = 0.0;
    double m_pressY = 0.0;
    // The texture is rebuilt only for a new image, not for pan or zoom.
    qint64 m_paintedImageKey = 0;
};
