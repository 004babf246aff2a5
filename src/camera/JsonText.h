#pragma once

#include <QByteArray>
#include <QString>

// Camera command bodies are small fixed JSON templates filled in by text.
// Text from the user (camera and SSD names, file names, string values) is
// escaped here so that a quote or backslash in it can never break or change a
// command; plain text still goes out byte for byte.
namespace JsonText {

// The JSON string body of `text` without the surrounding quotes, UTF-8.
QByteArray escaped(const QString& text);

// `text` as a JSON string literal, with quotes.
QByteArray quoted(const QString& text);

} // namespace JsonText
