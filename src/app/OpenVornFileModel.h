#pragma once

#include <QSortFilterProxyModel>
#include <QtQml/qqmlregistration.h>

// The open VORN files among the application's selectable objects.
class OpenVornFileModel : public QSortFilterProxyModel
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    explicit OpenVornFileModel(QObject* parent = nullptr);

    int count() const { return rowCount(); }

signals:
    void countChanged();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
};
