// The update manifest as the application's and a camera's update checks read
// it, silent and manual, with the skip setting each check leaves behind.
//
// Input: the manifest reply. X-Fuzz-Model (the camera's model id, default
// 7201), X-Fuzz-Model-Name and X-Fuzz-Fw (its firmware version text) set
// the camera whose firmware is looked up.
#include "Camera.h"
#include "FuzzSupport.h"
#include "VornApp.h"

#include <QJsonValue>

int fuzzManifest(const uint8_t* data, size_t size)
{
    Fuzz::Network& network = Fuzz::network();
    const Fuzz::Answer answer =
        Fuzz::parseAnswer(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    network.setResponder([&answer](QNetworkAccessManager::Operation, const QString&) { return answer; });
    VornApp* app = VornApp::instance();
    auto* camera = new Camera(QHostAddress(QStringLiteral("127.0.0.2")), app);
    const auto setValue = [camera](const char* name, const QJsonValue& value) {
        camera->property(name).value<CameraValue*>()->setJsonValue(value);
    };
    setValue("cameraModelId", qint64(answer.controlNumber("Model", 7201, -(1LL << 40), 1LL << 40)));
    setValue("cameraModel", QString::fromUtf8(answer.control("Model-Name")));
    setValue("fwVer", QString::fromUtf8(answer.control("Fw", "1.0")));
    int offers = 0, messages = 0;
    QObject::connect(app, &VornApp::vornUpdateAvailable, camera, [&offers] { ++offers; });
    QObject::connect(camera, &Camera::cameraFWUpdateAvailable, camera, [&offers] { ++offers; });
    QObject::connect(app, &VornApp::showMessage, camera, [&messages] { ++messages; });
    // Silent first (it may store the running version as skipped), then manual.
    for (bool manual : {false, true}) {
        app->updateCheck(manual);
        camera->updateCheck(manual);
        Fuzz::check(network.settle(), "the checks end");
    }
    // A manual check always answers: an offer or a message.
    Fuzz::check(offers + messages >= 2, "every manual check answers");
    // The next input starts from nothing skipped.
    app->setSetting(QStringLiteral("vorn/skip_version"), QString());
    camera->setSetting(QStringLiteral("skip_version"), QString());
    delete camera;
    network.reset();
    return 0;
}
