#include "JsonPath.h"

namespace q7sim::JsonPath {

QStringList split(const QString& path)
{
    return path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
}

QJsonValue get(const QJsonObject& root, const QStringList& path)
{
    if (path.isEmpty())
        return QJsonValue(QJsonValue::Undefined);
    QJsonValue member = root.value(path.first());
    for (int i = 1; i < path.size(); ++i) {
        if (!member.isObject())
            return QJsonValue(QJsonValue::Undefined);
        member = member.toObject().value(path.at(i));
    }
    return member;
}

void set(QJsonObject& root, const QStringList& path, const QJsonValue& value)
{
    if (path.isEmpty())
        return;
    if (path.size() == 1) {
        root.insert(path.first(), value);
        return;
    }
    QJsonObject child = root.value(path.first()).toObject();
    set(child, path.mid(1), value);
    root.insert(path.first(), child);
}

} // namespace q7sim::JsonPath
