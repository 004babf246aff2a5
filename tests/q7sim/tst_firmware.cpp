// The simulated camera's firmware upload (a multipart POST read at the
// camera's pace, then installation at each firmware level) and the update
// manifest server, both over real HTTP.
#include "JsonPath.h"
#include "ManifestServer.h"
#include "SimCamera.h"
#include "SimHttpClient.h"

#include <QHttpMultiPart>
#include <QJsonArray>
#include <QTest>

using namespace q7sim;

namespace {

struct Upload
{
    QNetworkReply* reply = nullptr;
    QList<QPair<qint64, qint64>> progress; // (ms since start, bytes sent) while not complete
    qint64 totalBytes = 0;
    QElapsedTimer clock;
};

// Posts `content` as the program does: one form-data part named "q7fw".
void startUpload(QNetworkAccessManager& manager, const QString& address, const QByteArray& content,
                 Upload* upload, const QByteArray& partName = "q7fw")
{
    auto* multiPart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    QHttpPart part;
    part.setHeader(QNetworkRequest::ContentDispositionHeader,
                   QStringLiteral("form-data; name=\"%1\"; filename=\"Q7FW-3.5.0.q7fw\"")
                       .arg(QString::fromLatin1(partName)));
    part.setBody(content);
    multiPart->append(part);
    QNetworkRequest request(QUrl(QStringLiteral("http://%1/q7fw").arg(address)));
    request.setRawHeader("User-Agent", "Vorn 1.0");
    upload->clock.start();
    upload->reply = manager.post(request, multiPart);
    multiPart->setParent(upload->reply);
    QObject::connect(upload->reply, &QNetworkReply::uploadProgress, [upload](qint64 sent, qint64 total) {
        upload->totalBytes = total;
        if (total > 0 && sent < total)
            upload->progress.append({upload->clock.elapsed(), sent});
    });
}

QByteArray firmwareImage(int bytes)
{
    QByteArray content("Q7FW");
    content.reserve(bytes);
    while (content.size() < bytes)
        content.append(char(content.size() * 131 % 251));
    return content;
}

int fwState(SimHttpClient& http)
{
    return JsonPath::get(http.state(), QStringLiteral("camera/fw_state")).toInt(-1);
}

std::unique_ptr<SimCamera> startCamera(const QString& address)
{
    CameraConfig config;
    config.address = address;
    config.fwUploadBytesPerSecond = 4 << 20;
    config.fwInstallMs = 600;
    auto camera = std::make_unique<SimCamera>(config);
    if (!camera->start())
        qWarning() << camera->errorString();
    return camera;
}

} // namespace

class TestFirmware : public QObject
{
    Q_OBJECT

private slots:
    void uploadStreamsThenInstalls();
    void olderFirmwareReportsAtOnce();
    void refusedUploads();
};

void TestFirmware::uploadStreamsThenInstalls()
{
    auto camera = startCamera(QStringLiteral("127.0.0.2"));
    SimHttpClient http(QStringLiteral("127.0.0.2"));
    QCOMPARE(JsonPath::get(http.state(), QStringLiteral("features/q7fw")).toInt(), 2);
    QCOMPARE(fwState(http), 0);

    // 6 MiB at 4 MiB/s: one and a half seconds, reported bit by bit.
    const QByteArray image = firmwareImage(6 << 20);
    QNetworkAccessManager manager;
    Upload upload;
    startUpload(manager, QStringLiteral("127.0.0.2"), image, &upload);
    QTRY_VERIFY_WITH_TIMEOUT(!upload.progress.isEmpty() && upload.progress.last().second > image.size() / 2,
                             10000);
    QVERIFY(!upload.reply->isFinished());
    // The answer waits for the installation, during which fw_state is 0.
    QTRY_VERIFY_WITH_TIMEOUT(camera->firmwareUploads().size() == 1, 10000);
    const qint64 uploadedAt = upload.clock.elapsed();
    QCOMPARE(fwState(http), 0);
    QVERIFY(!upload.reply->isFinished());
    QTRY_VERIFY_WITH_TIMEOUT(upload.reply->isFinished(), 5000);
    QVERIFY(upload.clock.elapsed() - uploadedAt >= 400);
    QCOMPARE(upload.reply->error(), QNetworkReply::NoError);
    QCOMPARE(fwState(http), 1);
    qInfo("6 MiB uploaded in %lld ms, answered %lld ms later", uploadedAt,
          upload.clock.elapsed() - uploadedAt);

    QVERIFY2(upload.progress.size() >= 5, qPrintable(QString::number(upload.progress.size())));
    QVERIFY(upload.progress.last().first >= 500); // spread over time, not all at once
    for (int i = 1; i < upload.progress.size(); ++i)
        QVERIFY(upload.progress[i].second >= upload.progress[i - 1].second);
    const FirmwareUpload received = camera->firmwareUploads().first();
    QCOMPARE(received.partName, QStringLiteral("q7fw"));
    QCOMPARE(received.fileName, QStringLiteral("Q7FW-3.5.0.q7fw"));
    QVERIFY(received.content == image);
    delete upload.reply;

    // An installation that fails ends in the error code chosen.
    camera->setFirmwareOutcome(42);
    Upload second;
    startUpload(manager, QStringLiteral("127.0.0.2"), firmwareImage(1000), &second);
    QTRY_VERIFY_WITH_TIMEOUT(second.reply->isFinished(), 5000);
    QCOMPARE(second.reply->error(), QNetworkReply::NoError);
    QCOMPARE(fwState(http), 42);
    delete second.reply;
}

void TestFirmware::olderFirmwareReportsAtOnce()
{
    auto camera = startCamera(QStringLiteral("127.0.0.3"));
    SimHttpClient http(QStringLiteral("127.0.0.3"));
    QCOMPARE(http.put("/features/q7fw", "1").status, 200);
    QNetworkAccessManager manager;
    Upload upload;
    startUpload(manager, QStringLiteral("127.0.0.3"), firmwareImage(100000), &upload);
    QTRY_VERIFY_WITH_TIMEOUT(upload.reply->isFinished(), 5000);
    QCOMPARE(upload.reply->error(), QNetworkReply::NoError);
    QVERIFY(upload.clock.elapsed() < 1500); // no installation wait (3 s) before the answer
    QCOMPARE(fwState(http), 1);
    delete upload.reply;
}

void TestFirmware::refusedUploads()
{
    auto camera = startCamera(QStringLiteral("127.0.0.4"));
    SimHttpClient http(QStringLiteral("127.0.0.4"));
    QNetworkAccessManager manager;
    auto uploadStatus = [&](const QByteArray& content, const QByteArray& partName = "q7fw") {
        Upload upload;
        startUpload(manager, QStringLiteral("127.0.0.4"), content, &upload, partName);
        if (!QTest::qWaitFor([&] { return upload.reply->isFinished(); }, 5000))
            return -1;
        const int status = upload.reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        delete upload.reply;
        return status;
    };
    // An empty file, a file under another field name, a plain body.
    QCOMPARE(uploadStatus(QByteArray()), 400);
    QCOMPARE(uploadStatus(firmwareImage(100), "firmware"), 400);
    QCOMPARE(http.post("/q7fw", "{}").status, 400);
    QCOMPARE(fwState(http), 0);
    // A fault, then a camera that cannot be updated this way.
    camera->addFault(Fault::httpError(503, true, QStringLiteral("/q7fw")));
    QCOMPARE(uploadStatus(firmwareImage(100)), 503);
    camera->clearFaults();
    QCOMPARE(http.put("/features/q7fw", "0").status, 200);
    QCOMPARE(uploadStatus(firmwareImage(100)), 501);
    QCOMPARE(fwState(http), 0);
    QCOMPARE(http.put("/features/q7fw", "2").status, 200);
    QCOMPARE(uploadStatus(firmwareImage(100)), 200);
    QCOMPARE(fwState(http), 1);
}

QTEST_MAIN(TestFirmware)
#include "tst_firmware.moc"
