// The camera's state document as a poll brings it: the first poll of a
// connection, the take documents that the takes it lists then ask for, and a
// later poll that may change everything the first one set up.
//
// Input: up to four replies separated by "--next--" lines: the state document
// of the first poll, the take document (the answer to every take's poll,
// memory or SSD), the state document of the second poll and the answer of a
// black reference (/bref). A missing part repeats the first.
#include "Camera.h"
#include "CameraLimits.h"
#include "FuzzSupport.h"
#include "VornApp.h"

namespace {

void checkTakes(const Camera* camera)
{
    Fuzz::check(camera->takes()->count() == camera->partitionCount(), "one take per partition");
    Fuzz::check(camera->takes()->count() <= CameraLimits::MaxPartitions, "partitions are bounded");
    Fuzz::check(camera->ssdTakes()->count() <= CameraLimits::MaxOpenSsdTakes, "open SSD takes are bounded");
    Fuzz::check(camera->resList()->rowCount() <= CameraLimits::MaxListEntries &&
                    camera->vidFormatList()->rowCount() <= CameraLimits::MaxListEntries,
                "choice lists are bounded");
    const Take* active = camera->activeTake();
    Fuzz::check(!active || active->takeId() == camera->activeTakeId()->value().toInt(), "the active take");
}

} // namespace

int fuzzState(const uint8_t* data, size_t size)
{
    Fuzz::Network& network = Fuzz::network();
    const QList<QByteArray> parts =
        Fuzz::splitParts(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    const auto answer = [&parts](int index) {
        return Fuzz::parseAnswer(parts.value(index, parts.first()));
    };
    int polls = 0;
    network.setResponder([&](QNetworkAccessManager::Operation op, const QString& path) {
        if (op == QNetworkAccessManager::GetOperation && path.isEmpty())
            return answer(polls++ == 0 ? 0 : 2);
        if (op == QNetworkAccessManager::GetOperation &&
            (path.startsWith(QLatin1String("/takes/")) || path.startsWith(QLatin1String("/ssd/takes/"))))
            return answer(1);
        if (path == QLatin1String("/bref"))
            return answer(3);
        return Fuzz::Answer(); // value writes and commands: accepted, nothing to read
    });

    auto* camera = new Camera(QHostAddress(QStringLiteral("127.0.0.2")), VornApp::instance());
    camera->connectCamera();
    Fuzz::check(network.settle(), "the first poll ends");
    checkTakes(camera);
    camera->pollCameraValues(false);
    Fuzz::check(network.settle(), "the second poll ends");
    checkTakes(camera);
    camera->bref();
    Fuzz::check(network.settle(), "the black reference ends");
    delete camera;
    network.reset();
    return 0;
}
