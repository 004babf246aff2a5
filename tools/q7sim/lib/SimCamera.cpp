#include "SimCamera.h"

#include "CameraModel.h"
#include "DiscoveryResponder.h"
#include "FaultPlan.h"
#include "HttpFrontend.h"
#include "NetworkAddresses.h"

namespace q7sim {

SimCamera::SimCamera(const CameraConfig& config)
    : m_config(config), m_model(std::make_unique<CameraModel>(config)),
      m_faults(std::make_unique<FaultPlan>()),
      m_http(std::make_unique<HttpFrontend>(*m_model, *m_faults, m_log)),
      m_discovery(std::make_unique<DiscoveryResponder>())
{
}

SimCamera::~SimCamera()
{
    stop();
}

bool SimCamera::start()
{
    if (m_running)
        return true;
    if (!m_http->start(m_config.address, m_config.httpPort, &m_error))
        return false;
    if (!m_config.discoveryListen.isEmpty()) {
        const QByteArray reply = QByteArray("VORN_REPLY\n") +
                                 "serial=" + m_config.effectiveSerial().toUtf8() +
                                 "\nname=" + m_config.effectiveName().toUtf8() + "\n";
        FaultPlan* faults = m_faults.get();
        QString listen = m_config.discoveryListen;
        if (listen == QLatin1String(CameraConfig::DiscoveryOnCameraNetwork)) {
            listen = broadcastAddressOf(m_config.address);
            if (listen.isEmpty())
                listen = m_config.address;
        }
        if (!m_discovery->start(
                listen, m_config.address, m_config.discoveryPort, reply,
                [faults] { return !faults->silent(); }, &m_error)) {
            m_http->stop();
            return false;
        }
    }
    m_running = true;
    return true;
}

void SimCamera::stop()
{
    if (!m_running)
        return;
    m_discovery->stop();
    m_http->stop();
    m_running = false;
}

void SimCamera::addFault(const Fault& fault)
{
    m_faults->add(fault);
}
void SimCamera::clearFaults()
{
    m_faults->clear();
}
QList<RecordedRequest> SimCamera::requests() const
{
    return m_log.all();
}
void SimCamera::clearRequests()
{
    m_log.clear();
}
QJsonObject SimCamera::stateDocument()
{
    return m_model->stateDocument();
}
std::optional<FrameParams> SimCamera::takeFrameParams(int take)
{
    return m_model->takeFrameParams(take);
}
void SimCamera::setTakeLocked(int take, bool locked)
{
    m_model->setTakeLocked(take, locked);
}

void SimCamera::insertSsd(bool formatted)
{
    m_model->insertSsd(formatted);
}

void SimCamera::removeSsd()
{
    m_model->removeSsd();
}

void SimCamera::failSsd()
{
    m_model->failSsd();
}

void SimCamera::setFirmwareOutcome(int fwState)
{
    m_model->setFirmwareOutcome(fwState);
}

QList<FirmwareUpload> SimCamera::firmwareUploads() const
{
    return m_model->firmwareUploads();
}

} // namespace q7sim
