#include "VornApp.h"

#include "SaveBatchObject.h"
#include "VornFile.h"

#include <QDebug>
#include <QUrl>

void VornApp::openVornFile(const QString& fileUrl)
{
    const QUrl url(fileUrl);
    const QString path = url.toLocalFile();
    auto* file = new VornFile(path, this);
    qDebug() << Q_FUNC_INFO << fileUrl << url << path;
    if (!file->open()) {
        qWarning() << "error opening" << path;
        file->deleteLater();
        return;
    }
    connect(file, &VornFile::closed, this, &VornApp::removeVornObject);
    m_vornObjModel->append(file);
    setSelectedVornObject(file);
}

void VornApp::closeAllVornFiles()
{
    QList<VornFile*> files;
    for (VornObject* object : *m_vornObjModel) {
        if (object->type() == VornObject::VornFileType)
            files.append(static_cast<VornFile*>(object));
    }
    for (VornFile* file : std::as_const(files))
        file->close();
}

void VornApp::openVornFileForSaveBatch(const QString& fileUrl)
{
    auto* file = new VornFile(QUrl(fileUrl).toLocalFile(), this);
    if (!file->open())
        qWarning() << "error opening" << file->fileName();
    m_saveBatchObjModel->append(new SaveBatchObject(file, this));
}

void VornApp::removeSaveBatchObject(SaveBatchObject* row, bool deleteSource)
{
    if (!row || !m_saveBatchObjModel->contains(row))
        return;
    if (deleteSource && row->source())
        row->source()->deleteLater();
    m_saveBatchObjModel->remove(row);
    row->deleteLater();
}

void VornApp::clearSaveBatchObjModel(bool deleteSource)
{
    const QList<SaveBatchObject*> rows = m_saveBatchObjModel->toList();
    for (SaveBatchObject* row : rows) {
        if (deleteSource && row->source())
            row->source()->deleteLater();
        m_saveBatchObjModel->remove(row);
        row->deleteLater();
    }
}
