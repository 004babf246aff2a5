#include "Util.h"

namespace Util {

QString formatExtension(Format format)
{
    switch (format) {
    case FormatVorn:
        return QStringLiteral("vorn");
    case FormatAvi:
        return QStringLiteral("avi");
    case FormatMp4:
        return QStringLiteral("mp4");
    case FormatTiff:
        return QStringLiteral("tiff");
    case FormatCsv:
        return QStringLiteral("csv");
    case FormatDng:
        return QStringLiteral("dng");
    }
    return QString();
}

} // namespace Util
