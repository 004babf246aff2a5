#pragma once

#include "Util.h"

#include <QStringList>

#include <QList>
#include <QMap>
#include <QObject>
#include <QSize>
#include <memory>

extern "C" {
#include <libavcodec/codec_id.h>
#include <libavutil/pixfmt.h>
#include <libavutil/rational.h>
}

struct AVCodec;
struct AVCodecContext;
struct AVDictionary;
struct AVFormatContext;
struct AVFrame;
struct AVPacket;
struct AVStream;
struct SwsContext;
class OpenH264Encoder;

class BurnInRenderer;

// One video output on the FFmpeg libraries: muxer, stream, encoder, frames
// and scaler. Pictures come in as the display's 16-bit B, G, R samples and
// are converted to the codec's pixel format.
//
// The video's size is the picture's, except that 4:2:0 codecs (AV1, H.264)
// round each side up to even, and AV1 raises each side to at least 64; the
// picture is then centred on black (one black column or row on the right or
// at the bottom for an odd side).
class VideoEncoder : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isOpen READ isOpen NOTIFY isOpenChanged)

public:
    VideoEncoder(const QString& path, int width, int height, Util::Format format, Util::Codec codec,
                 double frameRate, int quality, QObject* parent = nullptr);
    ~VideoEncoder() override;

    bool isOpen() const { return m_isOpen; }

    // Creates the file and writes its header; false (the step that failed in
    // the debug log) when any step fails.
    bool open();
    // Encodes one picture of the size given at construction, rows top to
    // bottom. 0 while the encoder wants more, 1 at its end, negative on
    // failure.
    // With `burnIn`, its `burnInLines` are burned into the picture as the
    // encoder holds it, before its conversion.
    int encode(const QList<quint16>& picture, BurnInRenderer* burnIn = nullptr,
               const QStringList& burnInLines = {});
    // Flushes the encoder, writes the trailer and closes the file; true
    // when all of that succeeded.
    bool close();
    // Whether the last close() completed the file, so that it plays.
    bool closedCleanly() const { return m_closedCleanly; }
    // The system's reason when open() could not create the file or a write
    // failed ("No space left on device"), else empty.
    QString errorReason() const { return m_errorReason; }

    QString path() const { return m_path; }
    // The encoder's picture size (see the class comment).
    int width() const { return m_width; }
    int height() const { return m_height; }
    AVRational frameRate() const { return m_frameRate; }
    AVRational timeBase() const { return m_timeBase; }
    AVCodecID codecId() const { return m_codecId; }
    AVPixelFormat pixFmt() const { return m_pixFmt; }
    // The options given to the encoder and the muxer.
    QMap<QByteArray, QByteArray> options() const;

    // 59.94, 29.97 and 23.976 are the NTSC rates n × 1000/1001.
    static AVRational frameRateOf(double frameRate);
    static QSize encoderSize(int width, int height, Util::Codec codec);

signals:
    void isOpenChanged();

private:
    void fillOptions();
    bool openStream();
    bool openCodec();
    bool openOpenH264();
    // The format pictures take on their way to the codec's.
    AVPixelFormat tempFormat() const;
    void copyPicture(const quint16* picture);
    void burnIn(BurnInRenderer* burnIn, const QStringList& lines);
    bool makeVideoFrame(const QList<quint16>& picture, BurnInRenderer* burnIn = nullptr,
                        const QStringList& lines = {});
    int sendFrame(AVFrame* frame);
    int writePacket(AVPacket* packet);
    // Ends an opened encoder without writing what it still holds.
    void endEncoder();
    void release();

    const QString m_path;
    const int m_pictureWidth;
    const int m_pictureHeight;
    const int m_width;
    const int m_height;
    const Util::Format m_format;
    const Util::Codec m_codec;
    const int m_quality;
    const AVRational m_frameRate;
    const AVRational m_timeBase;
    const AVCodecID m_codecId;
    const AVPixelFormat m_pixFmt;
    bool m_isOpen = false;
    // The codec was opened and has not been told the stream ended.
    bool m_codecOpen = false;
    bool m_closedCleanly = false;
    QString m_errorReason;
    int m_frameIndex = 0;

    AVFormatContext* m_muxer = nullptr;
    AVStream* m_stream = nullptr;
    const AVCodec* m_encoder = nullptr;
    AVCodecContext* m_context = nullptr;
    AVPacket* m_packet = nullptr;
    AVFrame* m_frame = nullptr;
    AVFrame* m_tempFrame = nullptr;
    SwsContext* m_scaler = nullptr;
    AVDictionary* m_options = nullptr;
    // Set when H.264 goes through OpenH264 directly.
    std::unique_ptr<OpenH264Encoder> m_openH264;
};
