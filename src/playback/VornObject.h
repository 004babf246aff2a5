#pragma once

#include "Histogram.h"
#include "ImgAdjModel.h"
#include "ImgFrame.h"
#include "VornFrame.h"

#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>

class RawFrame;
class VornValue;

// Everything the user can select in the window (a camera, a take in camera
// memory, a take on the camera SSD, an opened VORN file) is a VornObject. The
// application keeps one of them selected; the window shows the selected one.
class VornObject : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(int type READ type CONSTANT)
    Q_PROPERTY(bool selected READ selected WRITE setSelected NOTIFY selectedChanged)
    Q_PROPERTY(ImgAdjModel* imgAdjModel READ imgAdjModel CONSTANT)
    Q_PROPERTY(VornFrame* vornFrame READ vornFrame CONSTANT)
    Q_PROPERTY(ImgFrame* imgFrame READ imgFrame CONSTANT)
    Q_PROPERTY(Histogram* histogram READ histogram CONSTANT)
    Q_PROPERTY(QString timestamp READ timestamp WRITE setTimestamp NOTIFY timestampChanged)

public:
    enum Type {
        UnknownType = 0,
        CameraType = 1,
        CameraGroupType = 2,
        TakeType = 3,
        SsdTakeType = 4,
        VornFileType = 5,
    };
    Q_ENUM(Type)

    explicit VornObject(Type type, QObject* parent = nullptr, const QString& nameSuffix = QString());

    int type() const { return m_type; }
    bool selected() const { return m_selected; }
    void setSelected(bool selected);

    // Object names are a random 64-bit number in upper-case hexadecimal followed
    // by a suffix naming the kind, e.g. "3FA2...-Camera"; log lines of an object
    // begin with it.
    static QString randomName(const QString& suffix);

    ImgAdjModel* imgAdjModel() const { return m_imgAdjModel; }
    VornFrame* vornFrame() const { return m_vornFrame; }
    ImgFrame* imgFrame() const { return m_imgFrame; }
    Histogram* histogram() const { return m_histogram; }
    QString timestamp() const { return m_timestamp; }
    void setTimestamp(const QString& timestamp);
    bool requestInFlight() const { return m_requestInFlight; }

    // Starts the transfer of the object's current picture into `frame`; 0 on
    // success, negative when nothing was started.
    virtual int fetchFrame(RawFrame* frame);
    // The fetch cycle: fetches the current picture unless one is already on
    // its way, the object is not selected or it is busy. 0 when a fetch
    // started, -1 otherwise; a dropped request is not queued.
    virtual int requestFrame();
    // True while no frame may be fetched.
    virtual bool frameBusy() const { return false; }
    // Seconds since 1970 at which the frame time stamps of this object count
    // from zero.
    virtual quint64 yearOffsetSeconds() const { return 0; }

    // White balance gains from the current frame, written as local edits.
    Q_INVOKABLE void autoWhiteBalance();

    // The time text of a frame: ISO date and time with nine digits of
    // nanoseconds, e.g. 2024-03-01T12:00:05.000123456Z.
    static QString timeText(quint64 seconds, quint32 nanoseconds);

    // The object's value objects in creation order.
    const QList<VornValue*>& values() const { return m_values; }
    void appendValue(VornValue* value) { m_values.append(value); }

    // Applies a JSON document to every value by key path, trying the
    // alternative path when the primary one gives null or nothing.
    void loadValues(const QJsonObject& document);
    // Every value at its key path, as one nested document.
    QJsonObject valuesToJson() const;

    // The member at a key path; null when a step on the way is not an object,
    // undefined when the last member is missing.
    static QJsonValue lookup(const QStringList& keyPath, const QJsonObject& object);

public slots:
    virtual void frameReady();
    virtual void frameFailed();

signals:
    void timestampChanged();
    void selectedChanged();
    // Asks the application to select something else (the object is leaving).
    void shouldBeUnselected();

private:
    const Type m_type;
    bool m_selected = false;
    QList<VornValue*> m_values;
    QString m_timestamp;
    bool m_requestInFlight = false;
    ImgFrame* m_imgFrame;
    Histogram* m_histogram;

protected:
    // Set by the subclass in its constructor: the adjustment model of its
    // kind and the display frame bound to the model's block.
    void setImageModel(ImgAdjModel* model);

    ImgAdjModel* m_imgAdjModel = nullptr;
    VornFrame* m_vornFrame = nullptr;
};
