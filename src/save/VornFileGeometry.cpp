#include "VornFileGeometry.h"

#include "PlaybackVornObject.h"

void VornFileGeometry::parseRes(const QString& res, quint16* width, quint16* height)
{
    const QStringList parts = res.split(QLatin1Char('x'), Qt::SkipEmptyParts);
    *width = 0;
    *height = 0;
    if (parts.size() != 2)
        return;
    *width = parts.at(0).toUShort();
    *height = parts.at(1).toUShort();
}

VornFileGeometry VornFileGeometry::of(const PlaybackVornObject* object)
{
    VornFileGeometry geometry;
    if (!object)
        return geometry;
    parseRes(object->property("res").value<VornValue*>()->value().toString(), &geometry.width,
             &geometry.height);
    // A negative size in a header is no size.
    geometry.metaSize = quint32(qMax(0, object->metaSizeValue()->value().toInt()));
    geometry.firstFr = object->firstFrame();
    geometry.yearOffset = object->yearOffsetSeconds();
    return geometry;
}
