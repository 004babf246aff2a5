#include "QQmlObjectListModel.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

// An item with a reserved property name in the middle and an optional uid.
class Item : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int value READ value WRITE setValue NOTIFY valueChanged)
    Q_PROPERTY(int index READ value CONSTANT)
    Q_PROPERTY(QString uid READ uid WRITE setUid NOTIFY uidChanged)
    Q_PROPERTY(QString label READ label CONSTANT)

public:
    explicit Item(int value = 0, QObject* parent = nullptr) : QObject(parent), m_value(value) {}
    int value() const { return m_value; }
    void setValue(int v)
    {
        if (v != m_value) {
            m_value = v;
            emit valueChanged();
        }
    }
    QString uid() const { return m_uid; }
    void setUid(const QString& u)
    {
        m_uid = u;
        emit uidChanged();
    }
    QString label() const { return QStringLiteral("item%1").arg(m_value); }

signals:
    void valueChanged();
    void uidChanged();

private:
    int m_value;
    QString m_uid;
};

class OtherItem : public QObject
{
    Q_OBJECT
};

class TestObjectListModel : public QObject
{
    Q_OBJECT

private slots:
    void rolesFollowPropertiesAndSkipReservedNames()
    {
        QTest::ignoreMessage(QtWarningMsg,
                             "Can't have \"index\" as a role name in QQmlObjectListModel<Item>");
        QQmlObjectListModel<Item> model;
        const auto roles = model.roleNames();
        QCOMPARE(roles.value(Qt::UserRole), QByteArray("qtObject"));
        QCOMPARE(roles.value(Qt::UserRole + 1), QByteArray("objectName"));
        QCOMPARE(roles.value(Qt::UserRole + 2), QByteArray("value"));
        QVERIFY(!roles.contains(Qt::UserRole + 3)); // "index" consumed its number
        QCOMPARE(roles.value(Qt::UserRole + 4), QByteArray("uid"));
        QCOMPARE(roles.value(Qt::UserRole + 5), QByteArray("label"));
        QVERIFY(!roles.contains(Qt::DisplayRole));
        QCOMPARE(model.roleForName("label"), Qt::UserRole + 5);
        QCOMPARE(model.roleForName("index"), -1);

        QTest::ignoreMessage(QtWarningMsg,
                             "Can't have \"index\" as a role name in QQmlObjectListModel<Item>");
        QQmlObjectListModel<Item> withDisplay(nullptr, "label");
        QCOMPARE(withDisplay.roleNames().value(Qt::DisplayRole), QByteArray("display"));
        Item* item = new Item(7);
        withDisplay.append(item);
        const QModelIndex idx = withDisplay.index(0);
        QCOMPARE(withDisplay.data(idx, Qt::DisplayRole).toString(), QStringLiteral("item7"));
        QCOMPARE(withDisplay.data(idx, Qt::UserRole).value<QObject*>(), item);
        QCOMPARE(withDisplay.data(idx, Qt::UserRole + 2).toInt(), 7);
        QVERIFY(!withDisplay.data(withDisplay.index(5), Qt::UserRole + 2).isValid());
        QVERIFY(withDisplay.setData(idx, 9, Qt::UserRole + 2));
        QCOMPARE(item->value(), 9);
        QVERIFY(!withDisplay.setData(idx, 9, Qt::UserRole));
        QVERIFY(!withDisplay.setData(idx, 9, Qt::UserRole + 3));
    }

    void listOperationsAndCount()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Can't have"));
        QQmlObjectListModel<Item> model;
        QSignalSpy count(&model, &QQmlObjectListModelBase::countChanged);
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        Item *a = new Item(1), *b = new Item(2), *c = new Item(3);
        model.append(a);
        model.append(c);
        model.insert(1, b);
        QCOMPARE(model.toList(), (QList<Item*>{a, b, c}));
        QCOMPARE(count.count(), 3);
        QCOMPARE(inserted.at(2).at(1).toInt(), 1);

        OtherItem other;
        model.append(&other);
        QCOMPARE(model.count(), 3);
        QCOMPARE(count.count(), 3);
        QCOMPARE(inserted.count(), 3);

        Item* d = new Item(0);
        model.prepend(d);
        QCOMPARE(model.get(0), d);
        QCOMPARE(model.getFirst(), d);
        QCOMPARE(model.getLast(), c);
        QCOMPARE(model.get(4), nullptr);
        QCOMPARE(model.get(-1), nullptr);
        QCOMPARE(model.indexOf(b), 2);
        QVERIFY(!model.contains(&other));

        QSignalSpy moved(&model, &QAbstractItemModel::rowsMoved);
        model.move(0, 3);
        QCOMPARE(model.toList(), (QList<Item*>{a, b, c, d}));
        model.move(3, 0);
        QCOMPARE(model.toList(), (QList<Item*>{d, a, b, c}));
        model.move(1, 1);
        QCOMPARE(moved.count(), 2);

        const QVariantList vars = model.toVarArray();
        QCOMPARE(vars.size(), 4);
        QCOMPARE(vars.at(1).value<QObject*>(), a);

        model.remove(17);
        QCOMPARE(model.count(), 4);
        model.remove(b);
        QCOMPARE(model.toList(), (QList<Item*>{d, a, c}));

        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        count.clear();
        model.clear();
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.at(0).at(2).toInt(), 2);
        QCOMPARE(count.count(), 1);
        model.clear();
        QCOMPARE(removed.count(), 1);
        QCOMPARE(count.count(), 1);
    }

    void ownershipOnRemoveAndClear()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Can't have"));
        QQmlObjectListModel<Item> model;
        QObject owner;
        QPointer<Item> owned = new Item(1);
        QPointer<Item> foreign = new Item(2, &owner);
        model.append(owned);
        model.append(foreign);
        QCOMPARE(owned->parent(), &model);
        QCOMPARE(foreign->parent(), &owner);
        model.remove(foreign.data());
        model.remove(owned.data());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(owned.isNull());
        QVERIFY(!foreign.isNull());

        QPointer<Item> cleared = new Item(3);
        model.append(cleared);
        model.append(foreign);
        model.clear();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(cleared.isNull());
        QVERIFY(!foreign.isNull());
    }

    void propertyChangesAreForwarded()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("Can't have"));
        QQmlObjectListModel<Item> model(nullptr, "value", "uid");
        QObject owner;
        Item* a = new Item(1, &owner);
        Item* b = new Item(2, &owner);
        a->setUid(QStringLiteral("A"));
        model.append(a);
        model.append(b);
        QCOMPARE(model.get(QStringLiteral("A")), a);

        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        b->setValue(5);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.at(0).at(0).value<QModelIndex>().row(), 1);
        const auto roles = changed.at(0).at(2).value<QList<int>>();
        QVERIFY(roles.contains(Qt::UserRole + 2));
        QVERIFY(roles.contains(Qt::DisplayRole)); // value is the display role here

        a->setUid(QStringLiteral("A2"));
        QCOMPARE(model.get(QStringLiteral("A2")), a);
        QCOMPARE(model.get(QStringLiteral("A")), nullptr);

        model.remove(a);
        changed.clear();
        a->setValue(42);
        QCOMPARE(changed.count(), 0);
        QCOMPARE(model.get(QStringLiteral("A2")), nullptr);
    }
};

QTEST_GUILESS_MAIN(TestObjectListModel)
#include "tst_objectlistmodel.moc"
