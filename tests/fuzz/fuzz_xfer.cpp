// A reply to /xfer: its size headers and its body, read by one of the three
// clients of the endpoint: the camera's live image, one frame of a memory
// take of known geometry (both shown through the display pipeline), or the
// streaming reader of a save, which cuts the body into whole records.
//
// Input: one reply (curl -i form). X-Fuzz- lines choose the client and what
// the program expects:
//   X-Fuzz-Mode: live | take | range (default range)
//   X-Fuzz-Res: WxH and X-Fuzz-Meta: M, the take's geometry (take, range)
//   X-Fuzz-Type: 1 image, 2 metadata, 3 both (range)
//   X-Fuzz-Count: frames of the range (range)
//   X-Fuzz-Chunk, X-Fuzz-Error: see Fuzz::Answer
#include "AbstractTakeReader.h"
#include "Camera.h"
#include "FuzzSupport.h"
#include "VornApp.h"
#include "VornFileGeometry.h"

namespace {

const QHostAddress kCamera(QStringLiteral("127.0.0.2"));

void readRange(const Fuzz::Answer& answer)
{
    quint16 width = 0, height = 0;
    VornFileGeometry::parseRes(QString::fromLatin1(answer.control("Res", "64x32")), &width, &height);
    const quint32 imgSize = quint32(width) * height;
    const auto metaSize = quint32(answer.controlNumber("Meta", 32, 0, 1 << 20));
    const auto type = Util::ReqTypes(int(answer.controlNumber("Type", 3, 1, 3)));
    AbstractTakeReader::Range range;
    range.camera = kCamera;
    range.take = 1;
    range.count = answer.controlNumber("Count", 1, 1, 1 << 30);
    auto* reader = new AbstractTakeReader(type, range);
    reader->expectRecords(imgSize, metaSize);
    const qint64 kept =
        ((type & Util::ReqImg) ? qint64(imgSize) : 0) + ((type & Util::ReqMeta) ? metaSize : 0);
    qint64 handed = 0;
    QObject::connect(reader, &VornReader::readyRead, reader,
                     [&](const QByteArray& bytes, qint64 frames, qint64 framesRead, qint64 framesRemaining) {
                         Fuzz::check(frames > 0 && bytes.size() == frames * kept, "chunks of whole records");
                         handed += frames;
                         Fuzz::check(framesRead == handed && framesRead + framesRemaining == range.count,
                                     "the reader's counters");
                         // A writer that keeps up reports its progress later.
                         QMetaObject::invokeMethod(
                             reader, [reader, framesRead] { reader->setFramesWritten(framesRead); },
                             Qt::QueuedConnection);
                     });
    if (reader->start()) {
        Fuzz::check(Fuzz::network().settle(), "the transfer ends");
        Fuzz::check(!reader->running(), "nothing left to read");
        Fuzz::check(!reader->error().isEmpty() || handed == range.count, "a read without error is complete");
    }
    delete reader;
}

void showFrame(const Fuzz::Answer& answer, bool live, Fuzz::Network& network)
{
    auto* camera = new Camera(kCamera, VornApp::instance());
    VornObject* object = camera;
    if (!live) {
        auto* take = new Take(1, camera);
        object = take;
        take->setSelected(true);
        // The take's document tells its geometry, as a poll would.
        const QByteArray body =
            "{\"takes\":{\"take1\":{\"acq\":{\"res\":\"" + answer.control("Res", "64x32") +
            "\"},\"meta\":{\"size\":" + answer.control("Meta", "32") + "},\"first_fr\":0,\"last_fr\":9}}}";
        network.setResponder([&answer, body](QNetworkAccessManager::Operation, const QString& path) {
            Fuzz::Answer reply;
            if (path == QLatin1String("/xfer"))
                return answer;
            if (path == QLatin1String("/takes/take1"))
                reply.body = body;
            return reply;
        });
        // Opening polls the take; its document sets the frame position,
        // which fetches that frame.
        take->setSavedOpened(true, false, true);
        Fuzz::check(network.settle(), "the take's poll ends");
    } else {
        camera->setSelected(true);
    }
    object->requestFrame();
    Fuzz::check(network.settle(), "the frame arrives");
    Fuzz::check(!object->requestInFlight(), "the frame request ends");
    delete camera;
}

} // namespace

int fuzzXfer(const uint8_t* data, size_t size)
{
    Fuzz::Network& network = Fuzz::network();
    const Fuzz::Answer answer =
        Fuzz::parseAnswer(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    network.setResponder([&answer](QNetworkAccessManager::Operation, const QString& path) {
        return path == QLatin1String("/xfer") ? answer : Fuzz::Answer();
    });
    const QByteArray mode = answer.control("Mode", "range");
    if (mode == "live" || mode == "take")
        showFrame(answer, mode == "live", network);
    else
        readRange(answer);
    network.reset();
    return 0;
}
