#include "JsonText.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace JsonText {

QByteArray quoted(const QString& text)
{
    // Let Qt's JSON writer do the escaping: the compact form of ["text"] is
    // the literal between the brackets.
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

QByteArray escaped(const QString& text)
{
    const QByteArray literal = quoted(text);
    return literal.mid(1, literal.size() - 2);
}

} // namespace JsonText
