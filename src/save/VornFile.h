#pragma once

#include "PlaybackVornObject.h"
#include <QByteArray>
#include <QtQml/qqmlregistration.h>

class QFile;
class VornFileImgAdjModel;

// An opened VORN file: a playable object whose frames are read from the file
// and whose values come from the file's JSON header. The file is only read.
class VornFile : public PlaybackVornObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("made by the application")
    Q_PROPERTY(QString fileName READ fileName CONSTANT)

public:
    // Refused above this: the header is read into memory in one piece.
    static constexpr quint64 MaxJsonSize = 16 << 20;

    VornFile(const QString& fileName, QObject* parent);

    QString fileName() const { return m_fileName; }
    bool isOpen() const { return m_isOpen; }
    quint32 version() const { return m_version; }
    quint64 jsonOffset() const { return m_jsonOffset; }
    quint64 jsonSize() const { return m_jsonSize; }
    quint64 dataOffset() const { return m_dataOffset; }
    quint32 headerWord() const { return m_headerWord; }

    // Opens the file and reads its header; false (with a message for the
    // user where the file is not a readable VORN file) when it cannot be
    // shown.
    bool open();

    int getFrame(RawFrame* frame, qint64 fr) override;
    bool frameBusy() const override { return !m_isOpen; }

public slots:
    void close();

signals:
    void closed(VornFile* file);

private:
    bool readHeader();
    bool refuse(const char* logText, const QString& message);

    const QString m_fileName;
    QFile* m_file;
    bool m_isOpen = false;
    quint32 m_version = 0;
    quint64 m_jsonOffset = 0;
    quint64 m_jsonSize = 0;
    quint64 m_dataOffset = 0;
    quint32 m_headerWord = 0;
    VornFileImgAdjModel* m_imgAdj;
    // The last record read, shared with its RawFrame.
    QByteArray m_record;
};
