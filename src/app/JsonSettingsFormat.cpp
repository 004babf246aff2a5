#include "JsonSettingsFormat.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>

namespace {

void flatten(const QJsonObject& object, const QString& prefix, QSettings::SettingsMap& map)
{
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        if (it.value().isObject())
            flatten(it.value().toObject(), prefix + it.key() + QLatin1Char('/'), map);
        else
            map.insert(prefix + it.key(), it.value().toVariant());
    }
}

// Objects nest no deeper than this. The program's keys have a few sections,
// but a hand-edited file may hold a member name of thousands of "/": below
// this depth the rest of such a key stays one member name, which reads back
// as the same key.
constexpr int MaxNesting = 64;

// Builds one JSON object from keys relative to it, in key order: keys without
// "/" become members, the others are grouped by their first section.
QJsonObject group(const QList<QPair<QString, QVariant>>& entries, int depth)
{
    QJsonObject object;
    QMap<QString, QList<QPair<QString, QVariant>>> groups;
    for (const auto& [key, value] : entries) {
        const int slash = depth < MaxNesting ? key.indexOf(QLatin1Char('/')) : -1;
        if (slash < 0)
            object.insert(key, QJsonValue::fromVariant(value));
        else
            groups[key.left(slash)].append({key.mid(slash + 1), value});
    }
    for (auto it = groups.constBegin(); it != groups.constEnd(); ++it)
        object.insert(it.key(), group(it.value(), depth + 1));
    return object;
}

const QSettings::Format registeredFormat = JsonSettingsFormat::format();

} // namespace

namespace JsonSettingsFormat {

QSettings::Format format()
{
    static const QSettings::Format fmt = QSettings::registerFormat(
        QStringLiteral("json"), &JsonSettingsFormat::read, &JsonSettingsFormat::write, Qt::CaseSensitive);
    return fmt;
}

bool read(QIODevice& device, QSettings::SettingsMap& map)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(device.readAll(), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return false;
    flatten(doc.object(), QString(), map);
    return true;
}

bool write(QIODevice& device, const QSettings::SettingsMap& map)
{
    QList<QPair<QString, QVariant>> entries;
    entries.reserve(map.size());
    for (auto it = map.constBegin(); it != map.constEnd(); ++it)
        entries.append({it.key(), it.value()});
    const QByteArray json = QJsonDocument(group(entries, 0)).toJson(QJsonDocument::Indented);
    return device.write(json) == json.size();
}

} // namespace JsonSettingsFormat
