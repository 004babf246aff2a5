#pragma once

#include <QSortFilterProxyModel>
#include <QtQml/qqmlregistration.h>

// The camera's takes that hold a finished recording, in take order.
class SavedTakeModel : public QSortFilterProxyModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    explicit SavedTakeModel(QObject* parent = nullptr);

    int count() const { return rowCount(); }
    Q_INVOKABLE QObject* get(int row) const;

public slots:
    void refilter() { invalidateFilter(); }

signals:
    void countChanged();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
};
