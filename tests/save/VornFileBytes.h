#pragma once

#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>

// VORN files made byte by byte for the tests, independent of the program's
// writer: any version, magic, header fields and frame records.
namespace VornFileBytes {

struct FileLayout
{
    QByteArray magic = "VORN";
    quint32 version = 2;
    int width = 32;
    int height = 16;
    int metaSize = 32;
    qint64 firstFr = 0;
    int frames = 10;
    QString cameraName = QStringLiteral("Bench Q7");
    QJsonObject extra;      // members merged into the JSON header
    bool metaAtTop = false; // "meta_size" and "time/year_offset" instead of "meta/..."
    // Header fields as stored; negative: the consistent value.
    qint64 jsonOffset = -1;
    qint64 jsonSize = -1;
    qint64 dataOffset = -1;
    QByteArray json; // replaces the JSON text when not empty
};

inline int recordSize(const FileLayout& layout)
{
    return layout.width * layout.height + layout.metaSize;
}

// A record whose every byte depends on the frame number.
inline QByteArray record(const FileLayout& layout, qint64 frame)
{
    QByteArray bytes(recordSize(layout), Qt::Uninitialized);
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char((frame * 31 + i * 7 + (i >> 8)) & 0xff);
    return bytes;
}

inline QByteArray jsonText(const FileLayout& layout)
{
    if (!layout.json.isEmpty())
        return layout.json;
    QJsonObject acq{{"res", QStringLiteral("%1x%2").arg(layout.width).arg(layout.height)},
                    {"fr_rate", 1000.0},
                    {"bpp", 8}};
    QJsonObject doc{{"first_fr", layout.firstFr},
                    {"last_fr", layout.firstFr + layout.frames - 1},
                    {"fr_cnt", layout.frames},
                    {"acq", acq},
                    {"camera", QJsonObject{{"name", layout.cameraName}, {"serial", "S123"}}},
                    {"adjust", QJsonObject{{"gain", 2.0}, {"gamma_r", 1.5}}}};
    if (layout.metaAtTop) {
        doc.insert("meta_size", layout.metaSize);
        doc.insert("time", QJsonObject{{"year_offset", 1000000}});
    } else {
        doc.insert("meta", QJsonObject{{"size", layout.metaSize}, {"year_offset", 1000000}});
    }
    for (auto it = layout.extra.begin(); it != layout.extra.end(); ++it)
        doc.insert(it.key(), it.value());
    return QJsonDocument(doc).toJson(QJsonDocument::Compact);
}

inline QByteArray build(const FileLayout& layout)
{
    const QByteArray json = jsonText(layout);
    const quint64 fixedSize = layout.version >= 2 ? 36 : 32;
    const quint64 jsonOffset = layout.jsonOffset >= 0 ? quint64(layout.jsonOffset) : fixedSize;
    const quint64 dataOffset = layout.dataOffset >= 0 ? quint64(layout.dataOffset)
                                                      : ((fixedSize + json.size() + 4095) & ~quint64(4095));
    QByteArray bytes = layout.magic.left(4);
    char b[8];
    qToLittleEndian(layout.version, b);
    bytes.append(b, 4);
    qToLittleEndian(jsonOffset, b);
    bytes.append(b, 8);
    qToLittleEndian(layout.jsonSize >= 0 ? quint64(layout.jsonSize) : quint64(json.size()), b);
    bytes.append(b, 8);
    qToLittleEndian(dataOffset, b);
    bytes.append(b, 8);
    if (layout.version >= 2) {
        qToLittleEndian(quint32(5), b);
        bytes.append(b, 4);
    }
    bytes.append(json);
    if (quint64(bytes.size()) < dataOffset)
        bytes.append(QByteArray(int(dataOffset - bytes.size()), '\0'));
    for (int i = 0; i < layout.frames; ++i)
        bytes.append(record(layout, layout.firstFr + i));
    return bytes;
}

inline bool write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Header fields of a file read back; 0 when the file is shorter.
inline quint32 u32(const QByteArray& bytes, int at)
{
    return bytes.size() >= at + 4 ? qFromLittleEndian<quint32>(bytes.constData() + at) : 0;
}

inline quint64 u64(const QByteArray& bytes, int at)
{
    return bytes.size() >= at + 8 ? qFromLittleEndian<quint64>(bytes.constData() + at) : 0;
}

} // namespace VornFileBytes
