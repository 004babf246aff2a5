#pragma once

#include "QQmlObjectListModel.h"
#include "SsdLsEntry.h"
#include <QtQml/qqmlregistration.h>

// The SSD listing with its selection: a plain selection clears the others.
class SsdLsListModel : public QQmlObjectListModel<SsdLsEntry>
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(int selectedCount READ selectedCount NOTIFY selectedCountChanged)

public:
    explicit SsdLsListModel(QObject* parent = nullptr);

    int selectedCount() const;
    // Appends an entry and follows its selection.
    void appendEntry(SsdLsEntry* entry);

signals:
    void selectedCountChanged();
};
