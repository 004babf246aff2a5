#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <QStringList>

namespace q7sim {

// Values of the camera's documents are addressed by "/"-separated paths such
// as acq/exp_clks, the same paths the HTTP PUT uses.
namespace JsonPath {

QStringList split(const QString& path);
// The member at the path; undefined when any step is missing or not an object.
QJsonValue get(const QJsonObject& root, const QStringList& path);
inline QJsonValue get(const QJsonObject& root, const QString& path)
{
    return get(root, split(path));
}
// Sets the member at the path, creating intermediate objects.
void set(QJsonObject& root, const QStringList& path, const QJsonValue& value);
inline void set(QJsonObject& root, const QString& path, const QJsonValue& value)
{
    set(root, split(path), value);
}

} // namespace JsonPath
} // namespace q7sim
