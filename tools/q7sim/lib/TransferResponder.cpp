#include "TransferResponder.h"

#include "CameraModel.h"
#include "Fault.h"
#include "FrameSynth.h"
#include "JsonReply.h"

#include <thread>

namespace q7sim {

namespace {

// Shared by the calls of one transfer's content provider.
struct TransferStream
{
    XferPlan plan;
    int64_t cachedIndex = -1;
    QByteArray cached;

    const QByteArray& recordAt(int64_t index)
    {
        if (index != cachedIndex) {
            cached = FrameSynth::record(plan.params, plan.start + index, plan.type);
            cachedIndex = index;
        }
        return cached;
    }
};

} // namespace

TransferResponder::TransferResponder(CameraModel& model, const std::atomic<bool>& stopping)
    : m_model(model), m_stopping(stopping), m_link(model.config().xferBytesPerSecond)
{
}

bool TransferResponder::sleepUnlessStopping(int ms) const
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < until) {
        if (m_stopping)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(ms, 10)));
    }
    return !m_stopping;
}

void TransferResponder::setSizeHeaders(httplib::Response& response, const XferPlan& plan) const
{
    const int imageSize = (plan.type & XferImage) ? plan.params.imageSize() : 0;
    const int metaSize = (plan.type & XferMeta) ? FrameSynth::recordSize(plan.params, XferMeta) : 0;
    const auto sizeHeaders = m_model.config().sizeHeaders;
    if (sizeHeaders != CameraConfig::SizeHeaders::Fr) {
        response.set_header("Img-Width", std::to_string(plan.params.width));
        response.set_header("Img-Height", std::to_string(plan.params.height));
        response.set_header("Img-Size", std::to_string(imageSize));
    }
    if (sizeHeaders != CameraConfig::SizeHeaders::Img) {
        response.set_header("Fr-Width", std::to_string(plan.params.width));
        response.set_header("Fr-Height", std::to_string(plan.params.height));
        response.set_header("Fr-Size", std::to_string(imageSize));
    }
    response.set_header("Meta-Size", std::to_string(metaSize));
}

void TransferResponder::setFalseSizeHeaders(httplib::Response& response, const Fault& fault)
{
    // Headers are a multimap: the true ones go first.
    const auto replace = [&response](const char* name, const std::string& value) {
        response.headers.erase(name);
        response.set_header(name, value);
    };
    for (const char* name : {"Img-Width", "Fr-Width"})
        replace(name, std::to_string(fault.width));
    for (const char* name : {"Img-Height", "Fr-Height"})
        replace(name, std::to_string(fault.height));
    for (const char* name : {"Img-Size", "Fr-Size"})
        replace(name, std::to_string(fault.imgSize));
    replace("Meta-Size", std::to_string(fault.metaSize));
}

void TransferResponder::respond(const std::string& body, httplib::Response& response,
                                const Fault* transferFault)
{
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(body), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        JsonReply::error(response, 400, QStringLiteral("invalid JSON body"));
        return;
    }
    auto stream = std::make_shared<TransferStream>();
    const PutResult result = m_model.planTransfer(doc.object(), &stream->plan);
    if (!result.ok()) {
        JsonReply::error(response, result.status, result.error);
        return;
    }
    const Fault fault = transferFault ? *transferFault : Fault::delay(0);
    if (fault.kind == Fault::XferGeometry) {
        stream->plan.params.width = fault.width;
        stream->plan.params.height = fault.height;
    }
    const XferPlan& plan = stream->plan;
    setSizeHeaders(response, plan);
    if (fault.kind == Fault::XferHeaders)
        setFalseSizeHeaders(response, fault);
    response.status = 200;
    const int64_t recordSize = plan.recordSize();
    const int64_t total = recordSize * plan.count;
    const int lockTake = plan.lockTake;
    if (lockTake)
        m_model.setTakeLocked(lockTake, true);
    auto release = [this, lockTake](bool) {
        if (lockTake)
            m_model.setTakeLocked(lockTake, false);
    };

    if (fault.kind == Fault::XferEndEarly) {
        // A body without a length that simply ends after a few whole records.
        const int64_t endAt = recordSize * std::min<int64_t>(std::max(fault.records, 0), plan.count);
        response.set_chunked_content_provider(
            "application/octet-stream",
            [this, stream, recordSize, endAt](size_t offset, httplib::DataSink& sink) {
                if (m_stopping)
                    return false;
                if (static_cast<int64_t>(offset) >= endAt) {
                    sink.done();
                    return true;
                }
                const QByteArray& record = stream->recordAt(static_cast<int64_t>(offset) / recordSize);
                if (!m_link.acquire(record.size(), m_stopping))
                    return false;
                return sink.write(record.constData(), record.size());
            },
            release);
        return;
    }

    // Where a dropped connection breaks off: halfway through a record.
    const int64_t dropAt =
        fault.kind == Fault::XferDropMidRecord
            ? recordSize * std::min<int64_t>(std::max(fault.records, 0), plan.count - 1) + recordSize / 2
            : total;
    // A limited link sends small pieces, so that concurrent transfers share it evenly.
    const int64_t LinkPieceBytes = 64 * 1024;
    const bool slowed = fault.kind == Fault::XferPieces || fault.kind == Fault::XferTrickle;
    int64_t slowPiece = slowed ? fault.pieceBytes : recordSize;
    int64_t fastPiece = fault.kind == Fault::XferTrickle ? recordSize : slowPiece;
    if (m_link.limited()) {
        slowPiece = std::min(slowPiece, LinkPieceBytes);
        fastPiece = std::min(fastPiece, LinkPieceBytes);
    }
    const int pauseMs = slowed ? fault.pieceDelayMs : 0;
    // Where the trickle begins; pieces transfers are slow from the start.
    const int64_t slowFrom = fault.kind == Fault::XferTrickle
                                 ? recordSize * std::min<int64_t>(fault.records, plan.count)
                                 : (slowed ? 0 : total);
    response.set_content_provider(
        static_cast<size_t>(total), "application/octet-stream",
        [this, stream, recordSize, dropAt, slowFrom, slowPiece, fastPiece,
         pauseMs](size_t offset, size_t length, httplib::DataSink& sink) {
            const int64_t at = static_cast<int64_t>(offset);
            if (m_stopping || at >= dropAt)
                return false; // closes the connection before the promised length
            const QByteArray& record = stream->recordAt(at / recordSize);
            const int64_t within = at % recordSize;
            const bool slow = at >= slowFrom;
            int64_t n = std::min<int64_t>({recordSize - within, slow ? slowPiece : fastPiece, dropAt - at,
                                           static_cast<int64_t>(length)});
            if (!m_link.acquire(n, m_stopping) ||
                !sink.write(record.constData() + within, static_cast<size_t>(n)))
                return false;
            if (slow && pauseMs > 0)
                sleepUnlessStopping(pauseMs);
            return true;
        },
        release);
}

} // namespace q7sim
