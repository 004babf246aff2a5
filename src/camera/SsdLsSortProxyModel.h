#pragma once

#include <QSortFilterProxyModel>
#include <QtQml/qqmlregistration.h>

class SsdLsEntry;

// The SSD listing in the order the open dialog shows: by name, size or date,
// either way; equal sizes and dates fall back to the name.
class SsdLsSortProxyModel : public QSortFilterProxyModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(int sortMode READ sortMode WRITE setSortMode NOTIFY sortModeChanged)
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    enum SortMode {
        NoSort = 0,
        NameSortAscending = 1,
        NameSortDescending = 2,
        SizeSortAscending = 3,
        SizeSortDescending = 4,
        DateSortAscending = 5,
        DateSortDescending = 6
    };
    Q_ENUM(SortMode)

    explicit SsdLsSortProxyModel(QAbstractItemModel* source, QObject* parent = nullptr);

    int sortMode() const { return m_sortMode; }
    void setSortMode(int sortMode);
    int count() const { return rowCount(); }
    // The entry shown at `row`.
    Q_INVOKABLE QObject* get(int row) const;

signals:
    void sortModeChanged();
    void countChanged();

protected:
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    SsdLsEntry* entryAt(const QModelIndex& index) const;

    int m_sortMode = NameSortAscending;
};
