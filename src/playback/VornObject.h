#pragma once

#include <QJsonObject>
#include <QList>
#include <QObject>

class VornValue;

// Everything the user can select in the window (a camera, a take in camera
// memory, a take on the camera SSD, an opened VORN file) is a VornObject. The
// application keeps one of them selected; the window shows the selected one.
class VornObject : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int type READ type CONSTANT)
    Q_PROPERTY(bool selected READ selected WRITE setSelected NOTIFY selectedChanged)

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

    // Seconds since 1970 at which the frame time stamps of this object count
    // from zero.
    virtual quint64 yearOffsetSeconds() const { return 0; }

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

signals:
    void selectedChanged();
    // Asks the application to select something else (the object is leaving).
    void shouldBeUnselected();

private:
    const Type m_type;
    bool m_selected = false;
    QList<VornValue*> m_values;
};
