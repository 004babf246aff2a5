#include "ImgFrameControl.h"

#include "ImgFrame.h"

#include <QCursor>
#include <QKeyEvent>
#include <QQuickWindow>
#include <QSGImageNode>

#include <algorithm>
#include <cmath>

namespace {

// Products such as 100 × 0.07 come out a hair above the whole number they
// stand for; a plain ceil would then skip a whole image pixel.
double ceilWhole(double value)
{
    return std::ceil(value - 1e-9);
}

// Wheel step of the pan, as a fraction of the image size.
constexpr double PanStep = 0.1;

} // namespace

ImgFrameControl::ImgFrameControl(QQuickItem* parent) : QQuickItem(parent)
{
    setFlag(ItemHasContents);
    setAcceptHoverEvents(true);
    setAcceptedMouseButtons(Qt::LeftButton | Qt::RightButton);
}

void ImgFrameControl::setImgFrame(ImgFrame* imgFrame)
{
    if (imgFrame == m_imgFrame)
        return;
    disconnect(m_dataConnection);
    m_imgFrame = imgFrame;
    if (imgFrame)
        m_dataConnection =
            connect(imgFrame, &ImgFrame::dataChanged, this, &ImgFrameControl::imgFrameDataChanged);
    emit imgFrameChanged();
    imgFrameDataChanged();
}

void ImgFrameControl::imgFrameDataChanged()
{
    updateInternal();
    update();
}

bool ImgFrameControl::hasImage() const
{
    return m_imgFrame && !m_imgFrame->image().isNull();
}

void ImgFrameControl::updateInternal()
{
    if (!hasImage()) {
        setImplicitSize(0, 0);
        return;
    }
    const QSize imageSize = m_imgFrame->image().size();
    const double imageWidth = imageSize.width();
    const double imageHeight = imageSize.height();
    const double itemWidth = width() > 0 ? width() : imageWidth;
    const double itemHeight = height() > 0 ? height() : imageHeight;

    if (m_imgFrame->zoomFit())
        m_imgFrame->setFittedZoomScale(std::min(itemHeight / imageHeight, itemWidth / imageWidth));
    const double zoomScale = m_imgFrame->zoomScale();

    const double scaledWidth = imageWidth * zoomScale;
    const double scaledHeight = imageHeight * zoomScale;
    const double visibleWidth = std::min(scaledWidth, itemWidth);
    const double visibleHeight = std::min(scaledHeight, itemHeight);

    // Whole-pixel offsets keep the picture's pixels on screen pixels.
    const QRectF paintedRect(std::ceil((itemWidth - visibleWidth) / 2),
                             std::ceil((itemHeight - visibleHeight) / 2), visibleWidth, visibleHeight);
    if (paintedRect != m_paintedRect) {
        m_paintedRect = paintedRect;
        emit paintedRectChanged();
    }

    m_imgFrame->setMaxPan(1 - visibleWidth / scaledWidth, 1 - visibleHeight / scaledHeight);

    // The pan may exceed its limit after a zoom out; the source then stops at
    // the image's far edge.
    m_sourceRect = QRectF(std::min(ceilWhole(imageWidth * m_imgFrame->panX()),
                                   ceilWhole((scaledWidth - visibleWidth) / zoomScale)),
                          std::min(ceilWhole(imageHeight * m_imgFrame->panY()),
                                   ceilWhole((scaledHeight - visibleHeight) / zoomScale)),
                          visibleWidth / zoomScale, visibleHeight / zoomScale);

    // Last, because it may resize the item and so lay it out again.
    setImplicitSize(imageWidth, imageHeight);
}

void ImgFrameControl::geometryChange(const QRectF& newGeometry, const QRectF& oldGeometry)
{
    QQuickItem::geometryChange(newGeometry, oldGeometry);
    if (newGeometry.size() != oldGeometry.size())
        imgFrameDataChanged();
}

QSGNode* ImgFrameControl::updatePaintNode(QSGNode* oldNode, UpdatePaintNodeData*)
{
    auto* node = static_cast<QSGImageNode*>(oldNode);
    if (!hasImage() || m_paintedRect.isEmpty()) {
        delete node;
        return nullptr;
    }
    const QImage image = m_imgFrame->image();
    if (!node) {
        node = window()->createImageNode();
        node->setOwnsTexture(true);
    }
    if (!node->texture() || image.cacheKey() != m_paintedImageKey) {
        // The node owns its texture and deletes the previous one.
        node->setTexture(window()->createTextureFromImage(image));
        m_paintedImageKey = image.cacheKey();
    }
    node->setFiltering(QSGTexture::Linear);
    node->setRect(m_paintedRect);
    node->setSourceRect(m_sourceRect);
    return node;
}

QPoint ImgFrameControl::pixelAt(const QPointF& position) const
{
    const double zoomScale = m_imgFrame ? m_imgFrame->zoomScale() : 1.0;
    return QPoint(int(std::floor(m_sourceRect.x() + (position.x() - m_paintedRect.x()) / zoomScale)),
                  int(std::floor(m_sourceRect.y() + (position.y() - m_paintedRect.y()) / zoomScale)));
}

bool ImgFrameControl::isOverImage(const QPointF& position, QPoint* pixel) const
{
    if (!hasImage())
        return false;
    const bool inPaintedRect = position.x() >= m_paintedRect.left() && position.x() < m_paintedRect.right() &&
                               position.y() >= m_paintedRect.top() && position.y() < m_paintedRect.bottom();
    if (!inPaintedRect)
        return false;
    *pixel = pixelAt(position);
    const QSize imageSize = m_imgFrame->image().size();
    return pixel->x() >= 0 && pixel->x() < imageSize.width() && pixel->y() >= 0 &&
           pixel->y() < imageSize.height();
}

void ImgFrameControl::setMouseXY(int x, int y)
{
    if (x == m_mouseX && y == m_mouseY)
        return;
    m_mouseX = x;
    m_mouseY = y;
    emit mouseXYChanged();
}

void ImgFrameControl::setContainsMouse(bool containsMouse)
{
    if (containsMouse == m_containsMouse)
        return;
    m_containsMouse = containsMouse;
    emit containsMouseChanged();
}

void ImgFrameControl::hoverEnterEvent(QHoverEvent* event)
{
    // Entering is the first move over the item.
    hoverMoveEvent(event);
}

void ImgFrameControl::hoverMoveEvent(QHoverEvent* event)
{
    QPoint pixel;
    if (isOverImage(event->position(), &pixel)) {
        setContainsMouse(true);
        setCursor(Qt::CrossCursor);
        setMouseXY(pixel.x(), pixel.y());
    } else {
        setContainsMouse(false);
        unsetCursor();
        setMouseXY(0, 0);
    }
}

void ImgFrameControl::hoverLeaveEvent(QHoverEvent*)
{
    setContainsMouse(false);
    unsetCursor();
    setMouseXY(0, 0);
}

void ImgFrameControl::mousePressEvent(QMouseEvent* event)
{
    if (m_paintedRect.contains(event->position())) {
        event->accept();
        if (event->button() == Qt::LeftButton) {
            m_pressX = event->position().x();
            m_pressY = event->position().y();
        }
    } else if (event->button() == Qt::RightButton) {
        event->accept();
    } else {
        event->ignore();
    }
}

void ImgFrameControl::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || !hasImage()) {
        event->ignore();
        return;
    }
    const QSize imageSize = m_imgFrame->image().size();
    const double zoomScale = m_imgFrame->zoomScale();
    const double dx = event->position().x() - m_pressX;
    const double dy = event->position().y() - m_pressY;
    m_pressX = event->position().x();
    m_pressY = event->position().y();
    // Dragging moves the picture with the cursor, so the pan goes the other way.
    m_imgFrame->setPanX(m_imgFrame->panX() - dx / (imageSize.width() * zoomScale));
    m_imgFrame->setPanY(m_imgFrame->panY() - dy / (imageSize.height() * zoomScale));
    setCursor(Qt::ClosedHandCursor);
}

void ImgFrameControl::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        if (m_paintedRect.contains(event->position()))
            setCursor(Qt::CrossCursor);
        else
            unsetCursor();
    } else if (event->button() == Qt::RightButton) {
        emit rightClicked();
    }
}

void ImgFrameControl::wheelEvent(QWheelEvent* event)
{
    if (!hasImage()) {
        event->ignore();
        return;
    }
    const int delta = event->angleDelta().y();
    if (event->modifiers() & Qt::ControlModifier) {
        if (delta >= 1)
            zoomAtCursor(event->position(), +1);
        else if (delta < 0)
            zoomAtCursor(event->position(), -1);
    } else if (event->modifiers() & Qt::ShiftModifier) {
        // Some platforms turn a vertical wheel with Shift into a horizontal one.
        const int shiftDelta = delta != 0 ? delta : event->angleDelta().x();
        if (shiftDelta > 0)
            m_imgFrame->setPanX(m_imgFrame->panX() - PanStep);
        else if (shiftDelta < 0)
            m_imgFrame->setPanX(m_imgFrame->panX() + PanStep);
    } else {
        if (delta > 0)
            m_imgFrame->setPanY(m_imgFrame->panY() - PanStep);
        else if (delta < 0)
            m_imgFrame->setPanY(m_imgFrame->panY() + PanStep);
    }
    event->accept();
}

void ImgFrameControl::zoomAtCursor(const QPointF& position, int direction)
{
    const QPoint before = pixelAt(position);
    if (direction > 0)
        m_imgFrame->zoomIn();
    else
        m_imgFrame->zoomOut();
    // The zoom has laid the item out again; move the pan by as many pixels as
    // the remembered pixel has drifted from the cursor. A pan left beyond its
    // new limit by the zoom counts from the limit, where the picture shows.
    const QPoint after = pixelAt(position);
    const QSize imageSize = m_imgFrame->image().size();
    m_imgFrame->setPanX(std::min(m_imgFrame->panX(), m_imgFrame->maxPanX()) +
                        double(before.x() - after.x()) / imageSize.width());
    m_imgFrame->setPanY(std::min(m_imgFrame->panY(), m_imgFrame->maxPanY()) +
                        double(before.y() - after.y()) / imageSize.height());
}

void ImgFrameControl::zoomKeepingCentre(int direction)
{
    const double centreX = m_imgFrame->panX() + (1 - m_imgFrame->maxPanX()) / 2;
    const double centreY = m_imgFrame->panY() + (1 - m_imgFrame->maxPanY()) / 2;
    if (direction > 0)
        m_imgFrame->zoomIn();
    else
        m_imgFrame->zoomOut();
    m_imgFrame->setPanX(centreX - (1 - m_imgFrame->maxPanX()) / 2);
    m_imgFrame->setPanY(centreY - (1 - m_imgFrame->maxPanY()) / 2);
}

void ImgFrameControl::keyPressEvent(QKeyEvent* event)
{
    if (!m_imgFrame) {
        event->ignore();
        return;
    }
    const bool control = event->modifiers() & Qt::ControlModifier;
    const int key = event->key();
    if (event->matches(QKeySequence::ZoomIn) || (control && (key == Qt::Key_Plus || key == Qt::Key_Equal))) {
        zoomKeepingCentre(+1);
        event->accept();
    } else if (event->matches(QKeySequence::ZoomOut) ||
               (control && (key == Qt::Key_Minus || key == Qt::Key_Underscore))) {
        zoomKeepingCentre(-1);
        event->accept();
    } else {
        event->ignore();
    }
}
