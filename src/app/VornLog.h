#pragma once

#include <QSettings>
#include <QString>
#include <QtGlobal>

// Diagnostic log file. Off by default; when the setting "vorn/log" is above 0
// every message of the program goes to "log.txt" in the application-data
// folder, one line per message, the file emptied at each start.
namespace VornLog {

// Reads "vorn/log", installs the file handler when enabled and logs the header
// that identifies the run, the computer and the libraries.
void setup(QSettings* settings);

// Full path of the log file.
QString filePath();

void messageHandler(QtMsgType type, const QMessageLogContext& context, const QString& msg);

} // namespace VornLog
