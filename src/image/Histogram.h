#pragma once

#include <QList>
#include <QObject>
#include <QtQml/qqmlregistration.h>

// The data of a playable object's last processed frame for its histogram: the
// clean 16-bit BGR buffer (width × height × 3 samples, shared with the frame,
// not copied) and its size.
class Histogram : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(QList<quint16> image READ image NOTIFY imageChanged)
    Q_PROPERTY(quint16 width READ width NOTIFY widthChanged)
    Q_PROPERTY(quint16 height READ height NOTIFY heightChanged)

public:
    explicit Histogram(QObject* parent = nullptr);

    QList<quint16> image() const { return m_image; }
    quint16 width() const { return m_width; }
    quint16 height() const { return m_height; }

    // Every call is a new frame: all three signals are emitted, changed or not.
    void setImage(const QList<quint16>& image, quint16 width, quint16 height);

signals:
    void imageChanged();
    void widthChanged();
    void heightChanged();

private:
    QList<quint16> m_image;
    quint16 m_width = 0;
    quint16 m_height = 0;
};
