#include "Fault.h"

namespace q7sim {

Fault Fault::delay(int ms, const QString& pathPrefix)
{
    Fault f;
    f.kind = Delay;
    f.delayMs = ms;
    f.pathPrefix = pathPrefix;
    return f;
}

Fault Fault::delayAnswer(int ms, const QString& pathPrefix)
{
    Fault f;
    f.kind = DelayAnswer;
    f.delayMs = ms;
    f.pathPrefix = pathPrefix;
    return f;
}

Fault Fault::httpError(int status, bool jsonBody, const QString& pathPrefix)
{
    Fault f;
    f.kind = jsonBody ? HttpErrorJson : HttpError;
    f.status = status;
    f.pathPrefix = pathPrefix;
    return f;
}

Fault Fault::malformedJson(const QString& pathPrefix)
{
    Fault f;
    f.kind = MalformedJson;
    f.pathPrefix = pathPrefix;
    return f;
}

Fault Fault::noAnswer(const QString& pathPrefix)
{
    Fault f;
    f.kind = NoAnswer;
    f.pathPrefix = pathPrefix;
    return f;
}

Fault Fault::reply(const QString& method, const QString& path, int status, const QByteArray& body, int times)
{
    Fault f;
    f.kind = Reply;
    f.method = method;
    f.pathPrefix = path;
    f.exactPath = true;
    f.status = status;
    f.body = body;
    f.remaining = times;
    return f;
}

Fault Fault::xferEndEarly(int records)
{
    Fault f;
    f.kind = XferEndEarly;
    f.records = records;
    f.pathPrefix = QStringLiteral("/xfer");
    return f;
}

Fault Fault::xferDropMidRecord(int records)
{
    Fault f;
    f.kind = XferDropMidRecord;
    f.records = records;
    f.pathPrefix = QStringLiteral("/xfer");
    return f;
}

Fault Fault::xferPieces(int pieceBytes, int pieceDelayMs)
{
    Fault f;
    f.kind = XferPieces;
    f.pieceBytes = pieceBytes < 1 ? 1 : pieceBytes;
    f.pieceDelayMs = pieceDelayMs;
    f.pathPrefix = QStringLiteral("/xfer");
    return f;
}

Fault Fault::xferTrickle(int records, int pieceBytes, int pieceDelayMs)
{
    Fault f = xferPieces(pieceBytes, pieceDelayMs);
    f.kind = XferTrickle;
    f.records = records < 0 ? 0 : records;
    return f;
}

Fault Fault::xferHeaders(int width, int height, qint64 imgSize, qint64 metaSize)
{
    Fault f;
    f.kind = XferHeaders;
    f.width = width;
    f.height = height;
    f.imgSize = imgSize;
    f.metaSize = metaSize;
    f.pathPrefix = QStringLiteral("/xfer");
    return f;
}

Fault Fault::xferGeometry(int width, int height)
{
    Fault f;
    f.kind = XferGeometry;
    f.width = width < 1 ? 1 : width;
    f.height = height < 1 ? 1 : height;
    f.pathPrefix = QStringLiteral("/xfer");
    return f;
}

} // namespace q7sim
