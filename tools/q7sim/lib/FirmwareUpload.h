#pragma once

#include <QByteArray>
#include <QString>

namespace q7sim {

// One file part of a POST /q7fw as the camera received it.
struct FirmwareUpload
{
    QString partName; // the form field: "q7fw" is the one the camera installs
    QString fileName;
    QString contentType;
    QByteArray content;
};

} // namespace q7sim
