#pragma once

#include <QIODevice>
#include <QSettings>

// The settings store is a JSON file: "/"-separated keys are nested as JSON
// objects ("window/x" is member "x" of object "window"), so the file reads
// naturally and can be edited by hand.
namespace JsonSettingsFormat {

// The QSettings format registered under the name "json" (case-sensitive keys).
QSettings::Format format();

bool read(QIODevice& device, QSettings::SettingsMap& map);
bool write(QIODevice& device, const QSettings::SettingsMap& map);

} // namespace JsonSettingsFormat
