#include "AbstractTakeReader.h"
#include "Camera.h"
#include "FrameMetadata.h"
#include "FrameSynth.h"
#include "FrameXfer.h"
#include "RawFrame.h"
#include "SimCameras.h"
#include "VornApp.h"
#include "VornObject.h"
#include "VornTestMain.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSignalSpy>

using q7sim::Fault;

namespace {

// A selectable object whose frames count from a known year offset.
class FrameOwner : public VornObject
{
public:
    FrameOwner() : VornObject(TakeType) {}
    quint64 yearOffsetSeconds() const override { return 1700000000; }
};

struct Chunks
{
    QByteArray data;
    QList<qint64> counts;
    qint64 lastRead = 0;
    qint64 lastRemaining = -1;
    int recordSize = 0;
    bool aligned = true;
};

void collect(AbstractTakeReader& reader, Chunks& chunks)
{
    QObject::connect(&reader, &VornReader::readyRead, &reader,
                     [&chunks](const QByteArray& data, qint64 n, qint64 read, qint64 remaining) {
                         if (chunks.recordSize == 0 || data.size() != n * chunks.recordSize)
                             chunks.aligned = false;
                         chunks.data += data;
                         chunks.counts.append(n);
                         chunks.lastRead = read;
                         chunks.lastRemaining = remaining;
                     });
}

} // namespace

class TestFrameXfer : public QObject
{
    Q_OBJECT

private:
    QNetworkAccessManager m_nam;
    SimCameras m_sims;
    q7sim::SimCamera* m_sim = nullptr;
    int m_take = 0;
    q7sim::FrameParams m_params;
    qint64 m_firstFr = 0;

    QByteArray expectedRange(qint64 start, qint64 count, int type = q7sim::XferBoth) const
    {
        QByteArray bytes;
        for (qint64 f = start; f < start + count; ++f)
            bytes += q7sim::FrameSynth::record(m_params, f, type);
        return bytes;
    }

    AbstractTakeReader::Range range(qint64 start, qint64 count) const
    {
        return {QHostAddress(m_sim->config().address), 0, m_take, start, count};
    }

    bool waitDone(AbstractTakeReader& reader, int ms = 10000)
    {
        return QTest::qWaitFor([&] { return !reader.running(); }, ms);
    }

private slots:
    void initTestCase()
    {
        VornTest::useNetwork(&m_nam);
        q7sim::CameraConfig config;
        config.metaSize = 48;
        config.res = QStringLiteral("320x240");
        m_sim = m_sims.start(config);
        QVERIFY(m_sim);
        m_take = SimCameras::recordTake(m_sim, 60, 500);
        QVERIFY(m_take > 0);
        const auto params = m_sim->takeFrameParams(m_take);
        QVERIFY(params);
        m_params = *params;
        m_firstFr = m_params.firstFr;
        QVERIFY(m_firstFr < 0); // frames before the trigger count negative
    }

    void cleanup() { m_sim->clearFaults(); }

    void singleFrames()
    {
        FrameOwner owner;
        auto* frame = new RawFrame(&owner);
        QSignalSpy done(frame, &RawFrame::initFinished);
        QCOMPARE(FrameXfer::postFrameXfer(frame, QHostAddress(m_sim->config().address),
                                          FrameXfer::takeFrameBody(0, m_take, 7)),
                 0);
        QVERIFY(done.wait(5000));
        QCOMPARE(frame->width(), quint16(320));
        QCOMPARE(frame->height(), quint16(240));
        QCOMPARE(frame->imgSize(), 320u * 240u);
        QCOMPARE(frame->metaSize(), 48u);
        QCOMPARE(frame->yearOffset(), 1700000000ull);
        QCOMPARE(frame->data(), q7sim::FrameSynth::record(m_params, 7, q7sim::XferBoth));
        const auto request = SimCameras::requests(m_sim, "POST", "/xfer").last();
        QCOMPARE(request.body, QByteArray("{\"type\":3,\"src\":0,\"take\":") + QByteArray::number(m_take) +
                                   ",\"start\":7,\"cnt\":1,\"lock\":0}");
        QCOMPARE(request.header("Content-Type"), QByteArray("application/json"));

        // Metadata fields as the camera wrote them.
        const FrameMetadata meta = FrameMetadata::read(frame->data(), frame->metaSize());
        const qint64 ns = q7sim::FrameSynth::frameTimeNs(m_params, 7);
        QCOMPARE(qint64(meta.seconds), ns / 1000000000);
        QCOMPARE(qint64(meta.nanoseconds), ns % 1000000000);
        QCOMPARE(meta.event1, q7sim::FrameSynth::event1(m_params, 7));
        QCOMPARE(meta.timeCodeLock, q7sim::FrameSynth::timeCodeLocked(m_params, 7));

        // A frame outside the take fails.
        auto* outside = new RawFrame(&owner);
        QSignalSpy failed(outside, &RawFrame::initError);
        QTest::ignoreMessage(QtDebugMsg, "getFrameXferFinished error");
        FrameXfer::postFrameXfer(outside, QHostAddress(m_sim->config().address),
                                 FrameXfer::takeFrameBody(0, m_take, 100000));
        QVERIFY(failed.wait(5000));
        QCOMPARE(FrameXfer::postFrameXfer(nullptr, QHostAddress(m_sim->config().address), "{}"), -1);
    }

    void liveFrameWithFrHeaders()
    {
        q7sim::CameraConfig config;
        config.address = QStringLiteral("127.0.0.3");
        config.sizeHeaders = q7sim::CameraConfig::SizeHeaders::Fr;
        config.cfa = q7sim::Cfa::Mono;
        auto* sim = m_sims.start(config);
        QVERIFY(sim);
        FrameOwner owner;
        auto* frame = new RawFrame(&owner);
        QSignalSpy done(frame, &RawFrame::initFinished);
        FrameXfer::postFrameXfer(frame, QHostAddress(config.address), FrameXfer::liveFrameBody());
        QVERIFY(done.wait(5000));
        QCOMPARE(frame->width(), quint16(640));
        QCOMPARE(frame->height(), quint16(480));
        QCOMPARE(frame->imgSize(), 640u * 480u);
        QCOMPARE(frame->data().size(), qsizetype(frame->imgSize() + frame->metaSize()));
        QCOMPARE(SimCameras::requests(sim, "POST", "/xfer").last().body,
                 QByteArray("{\"type\":3,\"src\":1}"));
    }

    void rangeInPiecesYieldsWholeRecords()
    {
        m_sim->addFault(Fault::xferPieces(777, 0));
        const qint64 start = m_firstFr + 3;
        const qint64 count = 40;
        AbstractTakeReader reader(Util::ReqBoth, range(start, count));
        reader.expectRecords(quint32(m_params.imageSize()), quint32(m_params.metaSize));
        Chunks chunks;
        chunks.recordSize = q7sim::FrameSynth::recordSize(m_params, q7sim::XferBoth);
        collect(reader, chunks);
        QSignalSpy failed(&reader, &VornReader::readFailed);
        QVERIFY(reader.start());
        QVERIFY(waitDone(reader));
        QVERIFY(chunks.aligned);
        QVERIFY(chunks.counts.size() > 1);
        QCOMPARE(chunks.data, expectedRange(start, count));
        QCOMPARE(chunks.lastRead, count);
        QCOMPARE(chunks.lastRemaining, 0);
        QCOMPARE(failed.count(), 0);
        QVERIFY(reader.error().isEmpty());
        QCOMPARE(SimCameras::requests(m_sim, "POST", "/xfer").last().body,
                 FrameXfer::rangeBody(3, 0, m_take, start, count));
    }

    void metadataOnlyRange()
    {
        AbstractTakeReader reader(Util::ReqMeta, range(m_firstFr, 25));
        reader.expectRecords(quint32(m_params.imageSize()), quint32(m_params.metaSize));
        Chunks chunks;
        chunks.recordSize = q7sim::FrameSynth::recordSize(m_params, q7sim::XferMeta);
        collect(reader, chunks);
        QVERIFY(reader.start());
        QVERIFY(waitDone(reader));
        QVERIFY(reader.error().isEmpty());
        QCOMPARE(chunks.data, expectedRange(m_firstFr, 25, q7sim::XferMeta));
    }

    void asksForWindowsAsTheWriterTakesThem()
    {
        // The range goes out in windows; without a word from the writer no
        // more than two are read, however fast the camera sends. A report of
        // frames written brings the rest.
        const qint64 record = q7sim::FrameSynth::recordSize(m_params, q7sim::XferBoth);
        AbstractTakeReader reader(Util::ReqBoth, range(m_firstFr, 0));
        reader.expectRecords(quint32(m_params.imageSize()), quint32(m_params.metaSize));
        const qint64 window = reader.windowFrames();
        QCOMPARE(window, AbstractTakeReader::WindowBytes / record);
        const qint64 count = 2 * window + 50;
        AbstractTakeReader paced(Util::ReqBoth, range(m_firstFr, count));
        paced.expectRecords(quint32(m_params.imageSize()), quint32(m_params.metaSize));
        Chunks chunks;
        chunks.recordSize = int(record);
        collect(paced, chunks);
        const int before = SimCameras::requests(m_sim, "POST", "/xfer").size();
        QVERIFY(paced.start());
        QTRY_VERIFY_WITH_TIMEOUT(paced.framesRead() == 2 * window || !paced.error().isEmpty(), 10000);
        QTest::qWait(300);
        QCOMPARE(paced.framesRead(), 2 * window);
        QCOMPARE(SimCameras::requests(m_sim, "POST", "/xfer").size(), before + 2);
        paced.setFramesWritten(window);
        QVERIFY(waitDone(paced));
        QVERIFY2(paced.error().isEmpty(), qPrintable(paced.error()));
        QCOMPARE(chunks.data, expectedRange(m_firstFr, count));
        QCOMPARE(SimCameras::requests(m_sim, "POST", "/xfer").last().body,
                 FrameXfer::rangeBody(3, 0, m_take, m_firstFr + 2 * window, 50));
    }

    void stopEndsQuietly()
    {
        m_sim->addFault(Fault::xferPieces(500, 20)); // slow enough to stop in the middle
        AbstractTakeReader reader(Util::ReqBoth, range(m_firstFr, 150));
        reader.expectRecords(quint32(m_params.imageSize()), quint32(m_params.metaSize));
        QSignalSpy chunk(&reader, &VornReader::readyRead);
        QSignalSpy failed(&reader, &VornReader::readFailed);
        QVERIFY(reader.start());
        QVERIFY(chunk.wait(5000));
        reader.stop();
        QVERIFY(waitDone(reader, 2000));
        QCOMPARE(failed.count(), 0);
        QVERIFY(reader.error().isEmpty());
        QVERIFY(reader.framesRead() < 150);
        QCOMPARE(reader.framesRead() + reader.framesRemaining(), 150);
    }

    void failuresAreReported()
    {
        struct Case
        {
            Fault fault;
            QString error;
        };
        Fault jsonError = Fault::httpError(404, true, "/xfer");
        jsonError.errorText = QStringLiteral("take not found");
        const QList<Case> cases{
            {jsonError, QStringLiteral("take not found")},
            {Fault::httpError(503, false, "/xfer"), QStringLiteral("HTTP 503")},
        };
        for (const Case& c : cases) {
            m_sim->clearFaults();
            m_sim->addFault(c.fault);
            AbstractTakeReader reader(Util::ReqBoth, range(m_firstFr, 30));
            reader.expectRecords(quint32(m_params.imageSize()), quint32(m_params.metaSize));
            Chunks chunks;
            chunks.recordSize = q7sim::FrameSynth::recordSize(m_params, q7sim::XferBoth);
            collect(reader, chunks);
            QSignalSpy failed(&reader, &VornReader::readFailed);
            QVERIFY(reader.start());
            QVERIFY(waitDone(reader));
            QCOMPARE(reader.error(), c.error);
            QCOMPARE(failed.count(), 1);
            QCOMPARE(failed.first().first().toString(), reader.error());
            QVERIFY(chunks.aligned || chunks.counts.isEmpty());
            // What did arrive is whole records of the right frames.
            QCOMPARE(chunks.data, expectedRange(m_firstFr, chunks.lastRead));
        }
    }

    void shortMetadataNeverReadsPastTheRecord()
    {
        QByteArray record("\x05\x00\x00\x00\x05\x00\x00\xC0", 8); // two words only
        FrameMetadata meta = FrameMetadata::read(record, 32);
        QCOMPARE(meta.seconds, 5u);
        QCOMPARE(meta.nanoseconds, 5u);
        QVERIFY(meta.timeCodeLock);
        QVERIFY(meta.event1);
        QVERIFY(!meta.event2);
        QCOMPARE(meta.userData, QByteArray(20, '\0'));
        meta = FrameMetadata::read(record, 4); // block of one word
        QCOMPARE(meta.nanoseconds, 0u);
        QCOMPARE(FrameMetadata::word(QByteArray(), 32, 0), 0u);
    }

    // Sizes that are impossible, disagree with each other or with the body,
    // or (for a take) are not the take's geometry fail a take's frame and the
    // live image at once, logged once per object, with nothing allocated by
    // the false numbers; the next good reply is a frame again. Last: the
    // camera stays selected and fetches its live image from now on.
    void badFrameSizesFail()
    {
        Camera* camera = SimCameras::connect(m_sim);
        QVERIFY(camera);
        QTRY_VERIFY_WITH_TIMEOUT(
            camera->takes()->count() >= m_take && camera->takes()->at(m_take - 1)->valuesInit(), 5000);
        Take* take = camera->takes()->at(m_take - 1);
        // Fetches frame 7 of the take or the live image: whether it succeeded, in how many ms.
        const auto fetch = [&](VornObject* owner, qint64* ms) {
            RawFrame frame(owner);
            QSignalSpy failed(&frame, &RawFrame::initError);
            QSignalSpy done(&frame, &RawFrame::initFinished);
            QElapsedTimer timer;
            timer.start();
            owner == take ? take->getFrame(&frame, 7) : camera->fetchFrame(&frame);
            (void)QTest::qWaitFor([&] { return failed.count() + done.count() > 0; }, 10000);
            *ms = timer.elapsed();
            return done.count() == 1 &&
                   (owner == camera || frame.data() == q7sim::FrameSynth::record(m_params, 7, 3));
        };
        const QList<QPair<Fault, bool>> cases{
            // the fault, whether the live image fails too
            {Fault::xferHeaders(65535, 65535, 65535LL * 65535, 48), true},
            {Fault::xferHeaders(320, 240, 320 * 240 + 1, 48), true},
            {Fault::xferHeaders(4096, 4096, 4096 * 4096, 48), true}, // short body
            {Fault::xferHeaders(320, 240, 320 * 240, 1 << 20), true},
            {Fault::xferGeometry(160, 120), false}};
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("-Take: bad frame size from camera: "));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("-Camera: bad frame size from camera: "));
        QTest::failOnWarning(QRegularExpression("bad frame size"));
        const qint64 rss = VornTest::residentBytes();
        QVERIFY(rss > 0);
        qint64 ms = 0;
        for (const auto& [fault, liveFails] : cases) {
            m_sim->clearFaults();
            m_sim->addFault(fault);
            QVERIFY(!fetch(take, &ms));
            qInfo("fault %d %dx%d: take failed in %lld ms", fault.kind, fault.width, fault.height, ms);
            QVERIFY(ms < 5000); // at once; slack for a loaded machine
            QCOMPARE(fetch(camera, &ms), !liveFails);
            qInfo("live image in %lld ms", ms);
            QVERIFY(ms < 5000);
            QVERIFY(VornTest::residentBytes() - rss < 100 << 20);
        }
        m_sim->clearFaults();
        QVERIFY(fetch(take, &ms));
        QVERIFY(fetch(camera, &ms));
    }
};

VORN_TEST_MAIN(TestFrameXfer)
#include "tst_framexfer.moc"
