#pragma once

#include "QQmlObjectListModelBase.h"

#include <QDebug>
#include <QHash>
#include <QList>
#include <QMetaMethod>
#include <QMetaObject>
#include <QMetaProperty>

// A list model of QObject-derived T that turns every Qt property of T into a
// model role (numbered from Qt::UserRole + 1 in meta-object order), so QML
// delegates can bind to any property by name and follow its notify signal.
// Role Qt::UserRole ("qtObject") yields the item itself. Items without a parent
// are owned by the model and deleted later when they leave it.
template <class T> class QQmlObjectListModel : public QQmlObjectListModelBase
{
public:
    explicit QQmlObjectListModel(QObject* parent = nullptr, const QByteArray& displayRole = QByteArray(),
                                 const QByteArray& uidRole = QByteArray())
        : QQmlObjectListModelBase(parent), m_displayRoleName(displayRole), m_uidRoleName(uidRole)
    {
        static const QList<QByteArray> reserved{"id", "index", "class", "model", "modelData"};
        const QMetaObject& meta = T::staticMetaObject;
        m_handler = metaObject()->method(metaObject()->indexOfMethod("onItemPropertyChanged()"));
        if (!m_displayRoleName.isEmpty())
            m_roles.insert(Qt::DisplayRole, QByteArrayLiteral("display"));
        m_roles.insert(Qt::UserRole, QByteArrayLiteral("qtObject"));
        int role = Qt::UserRole + 1;
        for (int i = 0; i < meta.propertyCount(); ++i, ++role) {
            const QMetaProperty prop = meta.property(i);
            const QByteArray name(prop.name());
            if (reserved.contains(name)) {
                qWarning() << "Can't have" << name << "as a role name in"
                           << qPrintable(QStringLiteral("QQmlObjectListModel<%1>").arg(meta.className()));
                continue;
            }
            m_roles.insert(role, name);
            if (prop.hasNotifySignal())
                m_notifyRoles.insert(prop.notifySignalIndex(), role);
        }
    }

    // QAbstractListModel
    int rowCount(const QModelIndex& parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_items.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        T* item = at(index.row());
        const QByteArray name = roleName(role);
        if (!item || name.isEmpty())
            return QVariant();
        if (role == Qt::UserRole)
            return QVariant::fromValue(static_cast<QObject*>(item));
        return item->property(name.constData());
    }

    bool setData(const QModelIndex& index, const QVariant& value, int role) override
    {
        T* item = at(index.row());
        const QByteArray name = roleName(role);
        if (!item || role == Qt::UserRole || name.isEmpty())
            return false;
        return item->setProperty(name.constData(), value);
    }

    QHash<int, QByteArray> roleNames() const override { return m_roles; }

    // Typed access for C++
    const QList<T*>& toList() const { return m_items; }
    T* at(int idx) const { return (idx >= 0 && idx < m_items.size()) ? m_items.at(idx) : nullptr; }
    T* first() const { return m_items.isEmpty() ? nullptr : m_items.first(); }
    T* last() const { return m_items.isEmpty() ? nullptr : m_items.last(); }
    typename QList<T*>::const_iterator begin() const { return m_items.begin(); }
    typename QList<T*>::const_iterator end() const { return m_items.end(); }

    // QQmlObjectListModelBase
    int size() const override { return int(m_items.size()); }
    int count() const override { return int(m_items.size()); }
    bool isEmpty() const override { return m_items.isEmpty(); }
    bool contains(QObject* item) const override { return indexOf(item) >= 0; }
    int indexOf(QObject* item) const override
    {
        for (int i = 0; i < m_items.size(); ++i) {
            if (static_cast<QObject*>(m_items.at(i)) == item)
                return i;
        }
        return -1;
    }
    int roleForName(const QByteArray& name) const override
    {
        for (auto it = m_roles.cbegin(); it != m_roles.cend(); ++it) {
            if (it.value() == name)
                return it.key();
        }
        return -1;
    }

    void clear() override
    {
        if (m_items.isEmpty())
            return;
        beginRemoveRows(QModelIndex(), 0, int(m_items.size()) - 1);
        const QList<T*> items = m_items;
        for (T* item : items)
            dereferenceItem(item);
        m_items.clear();
        endRemoveRows();
        updateCounter();
    }

    void append(QObject* item) override { insert(int(m_items.size()), item); }
    void prepend(QObject* item) override { insert(0, item); }
    void insert(int idx, QObject* item) override
    {
        T* typed = qobject_cast<T*>(item);
        if (!typed)
            return;
        idx = qBound(0, idx, int(m_items.size()));
        beginInsertRows(QModelIndex(), idx, idx);
        referenceItem(typed);
        m_items.insert(idx, typed);
        endInsertRows();
        updateCounter();
    }

    void move(int idx, int pos) override
    {
        if (idx == pos || idx < 0 || pos < 0 || idx >= m_items.size() || pos >= m_items.size())
            return;
        // A downward move of one row to `pos` is announced with the destination
        // row as it is before the removal.
        const int dest = pos > idx ? pos + 1 : pos;
        beginMoveRows(QModelIndex(), idx, idx, QModelIndex(), dest);
        m_items.move(idx, pos);
        endMoveRows();
    }

    void remove(int idx) override
    {
        if (idx < 0 || idx >= m_items.size())
            return;
        beginRemoveRows(QModelIndex(), idx, idx);
        T* item = m_items.takeAt(idx);
        dereferenceItem(item);
        endRemoveRows();
        updateCounter();
    }
    void remove(QObject* item) override { remove(indexOf(item)); }

    QObject* get(const QString& uid) const override { return m_uidIndex.value(uid, nullptr); }
    QObject* get(int idx) const override { return at(idx); }
    QObject* getFirst() const override { return first(); }
    QObject* getLast() const override { return last(); }

    QVariantList toVarArray() const override
    {
        QVariantList list;
        list.reserve(m_items.size());
        for (T* item : m_items)
            list.append(QVariant::fromValue(static_cast<QObject*>(item)));
        return list;
    }

protected:
    void onItemPropertyChanged() override
    {
        T* item = qobject_cast<T*>(sender());
        const int row = indexOf(item);
        const int role = m_notifyRoles.value(senderSignalIndex(), -1);
        if (row < 0 || role < 0)
            return;
        QList<int> roles{role};
        const QByteArray name = m_roles.value(role);
        if (!m_displayRoleName.isEmpty() && name == m_displayRoleName)
            roles.append(Qt::DisplayRole);
        if (!m_uidRoleName.isEmpty() && name == m_uidRoleName)
            updateUid(item);
        const QModelIndex index = QAbstractListModel::index(row, 0);
        emit dataChanged(index, index, roles);
    }

private:
    QByteArray roleName(int role) const
    {
        return role == Qt::DisplayRole ? m_displayRoleName : m_roles.value(role);
    }

    void referenceItem(T* item)
    {
        if (!item->parent())
            item->setParent(this);
        for (auto it = m_notifyRoles.cbegin(); it != m_notifyRoles.cend(); ++it) {
            const QMetaMethod signal = item->metaObject()->method(it.key());
            connect(item, signal, this, m_handler, Qt::UniqueConnection);
        }
        if (!m_uidRoleName.isEmpty())
            updateUid(item);
    }

    void dereferenceItem(T* item)
    {
        disconnect(this, nullptr, item, nullptr);
        disconnect(item, nullptr, this, nullptr);
        if (!m_uidRoleName.isEmpty())
            removeUid(item);
        if (item->parent() == this)
            item->deleteLater();
    }

    void removeUid(T* item)
    {
        for (auto it = m_uidIndex.begin(); it != m_uidIndex.end();) {
            if (it.value() == item)
                it = m_uidIndex.erase(it);
            else
                ++it;
        }
    }

    void updateUid(T* item)
    {
        removeUid(item);
        const QString uid = item->property(m_uidRoleName.constData()).toString();
        if (!uid.isEmpty())
            m_uidIndex.insert(uid, item);
    }

    void updateCounter()
    {
        if (m_count != m_items.size()) {
            m_count = int(m_items.size());
            emit countChanged();
        }
    }

    QList<T*> m_items;
    int m_count = 0;
    QHash<int, QByteArray> m_roles;
    QHash<int, int> m_notifyRoles;
    QByteArray m_displayRoleName;
    QByteArray m_uidRoleName;
    QHash<QString, T*> m_uidIndex;
    QMetaMethod m_handler;
};
