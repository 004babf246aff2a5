#include "SimCameras.h"

#include <QTest>

q7sim::SimCamera* SimCameras::start(q7sim::CameraConfig config)
{
    auto camera = std::make_unique<q7sim::SimCamera>(config);
    if (!camera->start()) {
        qWarning() << "simulated camera at" << config.address << "did not start:" << camera->errorString();
        return nullptr;
    }
    m_cameras.push_back(std::move(camera));
    return m_cameras.back().get();
}

QList<q7sim::RecordedRequest> SimCameras::requests(const q7sim::SimCamera* camera, const QString& method,
                                                   const QString& path)
{
    QList<q7sim::RecordedRequest> found;
    const auto all = camera->requests();
    for (const auto& request : all) {
        if (request.method == method && request.path == path)
            found.append(request);
    }
    return found;
}
