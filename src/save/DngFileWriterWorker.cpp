#include "DngFileWriterWorker.h"

#include "FrameLimits.h"
#include "FrameMetadata.h"
#include "ImgAdjModel.h"
#include "ImgAdjUtil.h"
#include "PlaybackVornObject.h"
#include "VornApp.h"
#include "VornValue.h"

#include <QCoreApplication>

namespace {

QVariant valueOf(const PlaybackVornObject* source, const char* name)
{
    const auto* value = source->property(name).value<VornValue*>();
    return value ? value->value() : QVariant();
}

} // namespace

DngEncoder::Setup DngFileWriterWorker::encoderSetup(const PlaybackVornObject* source)
{
    DngEncoder::Setup setup;
    if (const ImgAdjUtil* util = VornApp::instance() ? VornApp::instance()->imgAdjUtil() : nullptr) {
        for (int k = 0; k < 256; ++k)
            setup.expansion[k] = util->expansion(quint8(k));
    }
    if (const ImgAdjModel* model = source->imgAdjModel()) {
        // The file takes the adjustments' layout and balance, which are what
        // the program's own picture is made with.
        const ImgAdjBlock& b = model->block();
        setup.cfa = b.cfa.toInt();
        setup.gains[0] = b.wbR.toDouble() * b.wbCalR.toDouble();
        setup.gains[1] = b.wbG.toDouble() * b.wbCalG.toDouble();
        setup.gains[2] = b.wbB.toDouble() * b.wbCalB.toDouble();
        setup.rotate = b.rotate.toInt();
        setup.flipH = b.flipH.toBool();
        setup.flipV = b.flipV.toBool();
    }
    setup.make = QStringLiteral("Korvanstead");
    setup.model = valueOf(source, "cameraModel").toString();
    setup.serial = valueOf(source, "cameraSerial").toString();
    setup.software =
        QCoreApplication::applicationName() + QLatin1Char(' ') + QCoreApplication::applicationVersion();
    setup.exposureUs = valueOf(source, "expTime").toDouble();
    setup.frameRate = valueOf(source, "frRate").toDouble();
    return setup;
}

DngFileWriterWorker::DngFileWriterWorker(const Setup& setup)
    : VornWriterWorker(setup.frCnt, qint64(setup.geometry.recordSize())), m_setup(setup)
{
}

qint64 DngFileWriterWorker::writeRecords(const char* records, qint64 count, qint64 first, QString* error)
{
    const VornFileGeometry& g = m_setup.geometry;
    if (!FrameLimits::validGeometry(g.width, g.height, g.imgSize(), g.metaSize)) {
        *error = QStringLiteral("bad frame size");
        return 0;
    }
    const qint64 recordSize = qint64(g.recordSize());
    for (qint64 i = 0; i < count; ++i) {
        const char* record = records + i * recordSize;
        const FrameMetadata meta =
            FrameMetadata::read(QByteArray::fromRawData(record, recordSize), g.metaSize);
        DngEncoder::Frame frame;
        frame.codes = reinterpret_cast<const uchar*>(record + g.metaSize);
        frame.width = g.width;
        frame.height = g.height;
        frame.number = m_setup.startFr + first + i;
        frame.seconds = g.yearOffset + meta.seconds;
        frame.nanoseconds = meta.nanoseconds;
        QByteArray file;
        if (!DngEncoder::encode(m_setup.dng, frame, &file, error)) {
            *error = withReason(QStringLiteral("write error"), *error);
            return i;
        }
        if (!writeImageFile(m_setup.outputName, first + i, file, error))
            return i;
    }
    return count;
}
