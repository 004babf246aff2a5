#pragma once

#include <QByteArray>
#include <QString>

namespace q7sim {

// A misbehaviour the camera shows on requests whose path starts with
// pathPrefix (empty: every path) and whose method matches (empty: any).
struct Fault
{
    enum Kind {
        Delay,             // answer only after delayMs
        HttpError,         // status with an empty body
        HttpErrorJson,     // status with {"error": errorText}
        MalformedJson,     // 200 with a body that is not JSON
        NoAnswer,          // accept the request and never answer (the camera hangs)
        XferEndEarly,      // a transfer that ends cleanly after `records` records
        XferDropMidRecord, // a transfer that breaks off halfway through record `records`
        XferPieces,        // a transfer sent in pieces of pieceBytes, not aligned to records
        XferHeaders,  // a transfer announcing sizes (width, height, imgSize, metaSize) its body does not have
        XferGeometry, // a transfer whose records are width x height, whatever the take says
        Reply,        // status with `body` as JSON, whatever was asked
        DelayAnswer,  // act on the request at once, answer after delayMs
        XferTrickle,  // a transfer that sends `records` records, then pieceBytes every pieceDelayMs
    };

    Kind kind = Delay;
    QString pathPrefix;
    QString method;
    int delayMs = 0;
    int status = 500;
    QString errorText = QStringLiteral("simulated camera fault");
    int records = 1;
    // XferHeaders and XferGeometry: the announced or sent shape.
    int width = 0;
    int height = 0;
    qint64 imgSize = 0;
    qint64 metaSize = 0;
    int pieceBytes = 1000;
    int pieceDelayMs = 2;
    int remaining = -1;     // requests it still applies to; -1 forever
    bool exactPath = false; // the path must equal pathPrefix
    QByteArray body;

    bool matches(const QString& requestMethod, const QString& path) const
    {
        return (method.isEmpty() || method.compare(requestMethod, Qt::CaseInsensitive) == 0) &&
               (exactPath ? path == pathPrefix
                          : path.startsWith(pathPrefix.isEmpty() ? QStringLiteral("/") : pathPrefix));
    }
    bool isTransferFault() const
    {
        return kind == XferEndEarly || kind == XferDropMidRecord || kind == XferPieces ||
               kind == XferHeaders || kind == XferGeometry || kind == XferTrickle;
    }

    static Fault delay(int ms, const QString& pathPrefix = {});
    static Fault delayAnswer(int ms, const QString& pathPrefix);
    static Fault httpError(int status, bool jsonBody, const QString& pathPrefix = {});
    static Fault malformedJson(const QString& pathPrefix = {});
    static Fault noAnswer(const QString& pathPrefix = {});
    // Answers requests of exactly `method` and `path` with `body` (a camera
    // whose firmware answers differently), `times` times (-1: always).
    static Fault reply(const QString& method, const QString& path, int status, const QByteArray& body,
                       int times = -1);
    static Fault xferEndEarly(int records);
    static Fault xferDropMidRecord(int records);
    static Fault xferPieces(int pieceBytes, int pieceDelayMs = 2);
    // A link that all but dies: `records` whole records at full speed, then
    // a drip of pieceBytes every pieceDelayMs, so the connection never goes
    // quiet for long.
    static Fault xferTrickle(int records, int pieceBytes = 1024, int pieceDelayMs = 20000);
    // Transfers announce these size headers (both the Img- and the Fr- form)
    // while their bodies stay the true records.
    static Fault xferHeaders(int width, int height, qint64 imgSize, qint64 metaSize);
    // Transfers send records of width x height pixels (headers to match), as
    // a camera would whose sensor mode changed under the take.
    static Fault xferGeometry(int width, int height);
};

} // namespace q7sim
