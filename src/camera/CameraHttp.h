#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QJsonDocument>
#include <QNetworkRequest>
#include <QString>

class QNetworkReply;

// Requests to a camera's HTTP/JSON interface. Every request goes through the
// application's one network manager with the camera's user agent; POST and
// PUT bodies are JSON.
namespace CameraHttp {

// Polls of the state and take documents come four times a second; one that
// has not moved for this long has failed, so the next can go out.
constexpr int PollTimeoutMs = 3000;
// A single frame (the live image, a frame of a take shown or searched) is a
// few megabytes at most: one whose bytes stop for this long is dead, and the
// next one should go out rather than leave the picture frozen.
constexpr int FrameTimeoutMs = 5000;
// Commands, uploads and transfers may legitimately wait on the camera (a
// format, a firmware flash, the start of a long range), but nothing may stay
// pending for ever. Both are inactivity timeouts, counted from the last byte.
constexpr int CommandTimeoutMs = 120000;

QNetworkRequest request(const QHostAddress& address, const QString& path, bool jsonBody,
                        int timeoutMs = CommandTimeoutMs);

QNetworkReply* get(const QHostAddress& address, const QString& path, int timeoutMs = CommandTimeoutMs);
QNetworkReply* post(const QHostAddress& address, const QString& path, const QByteArray& body = QByteArray(),
                    int timeoutMs = CommandTimeoutMs);
QNetworkReply* put(const QHostAddress& address, const QString& path, const QByteArray& body);

// Aborts a reply on the program's own behalf (a stopped transfer), which
// errorText() then does not count as a failure.
void abort(QNetworkReply* reply);
constexpr const char* AbortedProperty = "vornAborted";

// Release-only handling: the reply is deleted once it finishes.
void releaseWhenFinished(QNetworkReply* reply);

// Reads and parses a finished JSON reply. A body that does not parse is
// logged at critical level as "<owner's name>: json parse error: <reason>"
// and gives a null document.
QJsonDocument jsonReply(QNetworkReply* reply, const QObject* owner);

// The whole body of a finished reply; empty for one that was aborted.
QByteArray readBody(QNetworkReply* reply);

// The failure text of a transfer or SSD save reply: its JSON "error" string,
// or "HTTP <status>"; "connection lost" when the link broke without an HTTP
// error status, "timed out" when it stalled. Empty for a reply without
// error or one the program aborted itself.
QString errorText(QNetworkReply* reply, const QByteArray& body);

} // namespace CameraHttp
