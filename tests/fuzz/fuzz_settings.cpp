// The settings file as the program reads it at start-up through QSettings in
// the JSON format and writes it back after a change; what it writes must
// read back, and a second round must write the same text.
#include "FuzzSupport.h"
#include "JsonSettingsFormat.h"

#include <QBuffer>
#include <QFile>
#include <QSettings>

namespace {

QByteArray written(const QSettings::SettingsMap& map)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    Fuzz::check(JsonSettingsFormat::write(buffer, map), "settings are written");
    return buffer.data();
}

QSettings::SettingsMap read(const QByteArray& text)
{
    QBuffer buffer;
    buffer.setData(text);
    buffer.open(QIODevice::ReadOnly);
    QSettings::SettingsMap map;
    Fuzz::check(JsonSettingsFormat::read(buffer, map), "written settings read back");
    return map;
}

} // namespace

int fuzzSettings(const uint8_t* data, size_t size)
{
    const QString path = Fuzz::scratchFolder() + QStringLiteral("/VORN.json");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            return 0;
    }
    {
        QSettings settings(path, JsonSettingsFormat::format());
        const QStringList keys = settings.allKeys();
        for (const QString& key : keys)
            settings.value(key);
        settings.setValue(QStringLiteral("vorn/version"), QStringLiteral("12.0"));
        settings.sync();
        // A file that did not read is overwritten all the same.
        Fuzz::check(settings.status() != QSettings::AccessError, "the settings file is written");
    }
    QFile file(path);
    const QByteArray first = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    Fuzz::check(written(read(first)) == first, "a written file is written again unchanged");
    return 0;
}
