// What the simulated camera refuses of a firmware upload, over real HTTP.
// Accepted uploads, their pace and the installation at each firmware level
// are driven through the program in tests/camera/tst_firmware.cpp.
#include "JsonPath.h"
#include "ManifestServer.h"
#include "SimCamera.h"
#include "SimHttpClient.h"

#include <QHttpMultiPart>
#include <QJsonArray>
#include <QTest>

using namespace q7sim;

namespace {

// Posts `content` as the program does: one form-data part named "q7fw".
QNetworkReply* startUpload(QNetworkAccessManager& manager, const QString& address, const QByteArray& content,
                           const QByteArray& partName = "q7fw")
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
    QNetworkReply* reply = manager.post(request, multiPart);
    multiPart->setParent(reply);
    return reply;
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
    void refusedUploads();
};

void TestFirmware::refusedUploads()
{
    auto camera = startCamera(QStringLiteral("127.0.0.4"));
    SimHttpClient http(QStringLiteral("127.0.0.4"));
    QNetworkAccessManager manager;
    auto uploadStatus = [&](const QByteArray& content, const QByteArray& partName = "q7fw") {
        std::unique_ptr<QNetworkReply> reply(
            startUpload(manager, QStringLiteral("127.0.0.4"), content, partName));
        if (!QTest::qWaitFor([&] { return reply->isFinished(); }, 5000))
            return -1;
        return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
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
