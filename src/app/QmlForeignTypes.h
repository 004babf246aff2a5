#pragma once

#include <QAbstractItemModel>
#include <QObject>
#include <QStringListModel>
#include <QtQml/qqml.h>

// Qt classes that the program's types hand to QML as property types, declared
// to the Vorn module so that its type information (and qmllint) knows their
// members. They stay nameless in QML: nothing creates them there.
namespace QmlForeignTypes {

struct AbstractItemModel
{
    Q_GADGET
    QML_FOREIGN(QAbstractItemModel)
    QML_ANONYMOUS
};

struct StringListModel
{
    Q_GADGET
    QML_FOREIGN(QStringListModel)
    QML_ANONYMOUS
};

} // namespace QmlForeignTypes
