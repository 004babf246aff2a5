#pragma once

#include <QJsonDocument>
#include <QJsonObject>
#include <httplib.h>

namespace q7sim::JsonReply {

// Replies of the camera carry JSON: a document, or {"error": text} on failure.
inline constexpr const char* ContentType = "application/json";

inline void send(httplib::Response& response, int status, const QJsonObject& object)
{
    response.status = status;
    response.set_content(QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString(), ContentType);
}

inline void error(httplib::Response& response, int status, const QString& text)
{
    send(response, status, QJsonObject{{QStringLiteral("error"), text}});
}

} // namespace q7sim::JsonReply
