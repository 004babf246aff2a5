// Firmware installation of CameraModel: an uploaded Q7FW file is checked,
// then installed; camera/fw_state tells the outcome (1 installed, any other
// non-zero number an error). Firmware at features/q7fw level 1 reports 1 as
// soon as the file is in and finalizes unseen; from level 2 on the camera
// answers the upload only once the installation has ended.
#include "CameraModel.h"

namespace q7sim {

PutResult CameraModel::firmwareUploadStarting()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_settings.integer(QStringLiteral("features/q7fw")) < 1)
        return PutResult::failure(501, QStringLiteral("firmware update not supported"));
    if (m_firmwareInstalling)
        return PutResult::failure(409, QStringLiteral("firmware update in progress"));
    return PutResult::success();
}

PutResult CameraModel::firmwareUploaded(const QList<FirmwareUpload>& parts, int* installMs)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    *installMs = 0;
    m_firmwareUploads += parts;
    const FirmwareUpload* file = nullptr;
    for (const FirmwareUpload& part : parts)
        if (part.partName == QLatin1String("q7fw"))
            file = &part;
    if (!file)
        return PutResult::failure(400, QStringLiteral("no q7fw file in the upload"));
    if (file->content.isEmpty())
        return PutResult::failure(400, QStringLiteral("the q7fw file is empty"));
    if (m_firmwareInstalling)
        return PutResult::failure(409, QStringLiteral("firmware update in progress"));
    if (m_settings.integer(QStringLiteral("features/q7fw")) < 2) {
        m_settings.store(QStringLiteral("camera/fw_state"), m_firmwareOutcome);
        return PutResult::success();
    }
    m_firmwareInstalling = true;
    m_settings.store(QStringLiteral("camera/fw_state"), 0);
    *installMs = m_config.fwInstallMs;
    return PutResult::success();
}

void CameraModel::firmwareInstalled()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_firmwareInstalling)
        return;
    m_firmwareInstalling = false;
    m_settings.store(QStringLiteral("camera/fw_state"), m_firmwareOutcome);
}

void CameraModel::setFirmwareOutcome(int fwState)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_firmwareOutcome = fwState;
}

QList<FirmwareUpload> CameraModel::firmwareUploads() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_firmwareUploads;
}

} // namespace q7sim
