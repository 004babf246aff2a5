#include "VornFile.h"

#include "FrameLimits.h"
#include "RawFrame.h"
#include "VornApp.h"
#include "VornFileGeometry.h"
#include "VornFileImgAdjModel.h"
#include "VornFileValue.h"

#include <QFile>
#include <QJsonDocument>
#include <QtEndian>

namespace {

const QString kUnsupported = QStringLiteral("<b>Unsupported VORN file version!</b>");
const QString kCorrupt = QStringLiteral("<b>Corrupt VORN file!</b>");

} // namespace

VornFile::VornFile(const QString& fileName, QObject* parent)
    : PlaybackVornObject(VornFileType, parent, QStringLiteral("-VornFile"),
                         [this](const QStringList& key, int type, const QStringList& altKey) -> VornValue* {
                             return new VornFileValue(key, type, this, nullptr, altKey);
                         }),
      m_fileName(fileName), m_file(new QFile(fileName, this))
{
    m_imgAdj = new VornFileImgAdjModel(this);
    setImageModel(m_imgAdj);
    m_imgAdj->updateLut();
    connect(m_imgAdj, &ImgAdjModel::imgAdjUpdated, this, &PlaybackVornObject::refreshFrame);
    auto* corrMode =
        new VornFileValue({QStringLiteral("acq"), QStringLiteral("corr_mode")}, VornValue::UInt, this);
    appendValue(corrMode);
    setCorrModeValue(corrMode);
}

bool VornFile::open()
{
    m_isOpen = m_file->open(QIODevice::ReadOnly);
    return m_isOpen && readHeader();
}

bool VornFile::refuse(const char* logText, const QString& message)
{
    qCritical() << logText << m_fileName;
    if (VornApp* app = VornApp::instance())
        emit app->showMessage(message);
    return false;
}

bool VornFile::readHeader()
{
    const quint64 fileSize = quint64(m_file->size());
    m_file->seek(0);
    const QByteArray fixed = m_file->read(36);
    if (fixed.size() < 8 || !fixed.startsWith("VORN"))
        return refuse("unsupported vorn file", kUnsupported);
    m_version = qFromLittleEndian<quint32>(fixed.constData() + 4);
    if (m_version > 2)
        return refuse("unsupported vorn file", kUnsupported);
    const qsizetype fixedSize = m_version >= 2 ? 36 : 32;
    if (fixed.size() < fixedSize)
        return refuse("corrupt vorn file header", kCorrupt);
    m_jsonOffset = qFromLittleEndian<quint64>(fixed.constData() + 8);
    m_jsonSize = qFromLittleEndian<quint64>(fixed.constData() + 16);
    m_dataOffset = qFromLittleEndian<quint64>(fixed.constData() + 24);
    if (m_version >= 2)
        m_headerWord = qFromLittleEndian<quint32>(fixed.constData() + 32);

    // The header comes from a file anyone may have made: nothing it names is
    // read or allocated unless the file actually holds it.
    if (m_jsonSize > MaxJsonSize || m_jsonOffset > fileSize || m_jsonSize > fileSize - m_jsonOffset ||
        m_dataOffset > fileSize)
        return refuse("corrupt vorn file header", kCorrupt);

    m_file->seek(qint64(m_jsonOffset));
    const QByteArray json = m_file->read(qint64(m_jsonSize));
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (document.isNull()) {
        qCritical() << objectName() + ": json parse error:" << parseError.errorString();
        return false;
    }
    loadValues(document.object());
    const VornFileGeometry geometry = VornFileGeometry::of(this);
    const qint64 metaSize = metaSizeValue()->value().toLongLong();
    // Records of no bytes are no records: nothing could be shown or saved.
    if (metaSize < 0 || metaSize > FrameLimits::MaxMetaSize ||
        !FrameLimits::validGeometry(geometry.width, geometry.height, geometry.imgSize(), quint32(metaSize)) ||
        geometry.imgSize() + quint64(metaSize) == 0)
        return refuse("corrupt vorn file header", kCorrupt);

    setFr(firstFrame(), true);
    setAFr(firstFrame(), true);
    setBFr(lastFrame(), true);
    setValuesInit(true);
    m_file->seek(qint64(m_dataOffset));
    return true;
}

int VornFile::getFrame(RawFrame* frame, qint64 fr)
{
    if (!m_isOpen || !frame)
        return -1;
    const VornFileGeometry geometry = VornFileGeometry::of(this);
    const quint64 record = geometry.recordSize();
    // Frame numbers are 32-bit values and records bounded by the header
    // checks, so the offset cannot overflow; one before the data reads none.
    const qint64 index = fr - geometry.firstFr;
    // The previous record's buffer is read into again once nothing holds it
    // any more (its RawFrame is gone by the next frame): playing a file then
    // allocates no record per frame. A buffer still held gets a new one.
    if (!m_record.isDetached())
        m_record = QByteArray();
    m_record.resize(0);
    if (index >= 0 && m_file->seek(qint64(m_dataOffset + record * quint64(index)))) {
        // Only what the file holds: a file cut short gives a shorter record.
        const qint64 available = qMax<qint64>(0, m_file->size() - m_file->pos());
        m_record.resize(qMin<qint64>(qint64(record), available));
        m_record.resize(qMax<qint64>(0, m_file->read(m_record.data(), m_record.size())));
    }
    frame->set(m_record, geometry.width, geometry.height, geometry.imgSize(), geometry.metaSize,
               geometry.yearOffset);
    emit frame->initFinished();
    return 0;
}

void VornFile::close()
{
    m_file->close();
    m_isOpen = false;
    emit shouldBeUnselected();
    emit closed(this);
}
