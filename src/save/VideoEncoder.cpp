#include "VideoEncoder.h"

#include "BurnInRenderer.h"
#include "FuzzyCompare.h"
#include "OpenH264Encoder.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <climits>
#include <cmath>
#include <cstring>
#include <opencv2/core/utility.hpp>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace {

AVCodecID codecIdOf(Util::Codec codec)
{
    switch (codec) {
    case Util::CodecAV1_YUV420P:
    case Util::CodecAV1_YUV420P10:
        return AV_CODEC_ID_AV1;
    case Util::CodecH264:
        return AV_CODEC_ID_H264;
    default:
        return AV_CODEC_ID_RAWVIDEO;
    }
}

AVPixelFormat pixFmtOf(Util::Codec codec)
{
    switch (codec) {
    case Util::CodecRaw_Gray8:
        return AV_PIX_FMT_GRAY8;
    case Util::CodecAV1_YUV420P:
    case Util::CodecH264:
        return AV_PIX_FMT_YUV420P;
    case Util::CodecAV1_YUV420P10:
        return AV_PIX_FMT_YUV420P10LE;
    default:
        return AV_PIX_FMT_BGR24;
    }
}

AVRational timeBaseOf(Util::Format format, AVRational frameRate)
{
    if (frameRate.num <= 0 || frameRate.den <= 0)
        return {0, 1};
    if (format == Util::FormatMp4)
        return {1, frameRate.num};
    return {frameRate.den, frameRate.num};
}

QString errorText(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return QString::fromUtf8(text);
}

int roundUpToEven(int n)
{
    return n + (n & 1);
}

} // namespace

VideoEncoder::VideoEncoder(const QString& path, int width, int height, Util::Format format, Util::Codec codec,
                           double frameRate, int quality, QObject* parent)
    : QObject(parent), m_path(path), m_pictureWidth(width), m_pictureHeight(height),
      m_width(encoderSize(width, height, codec).width()),
      m_height(encoderSize(width, height, codec).height()), m_format(format), m_codec(codec),
      m_quality(quality), m_frameRate(frameRateOf(frameRate)), m_timeBase(timeBaseOf(format, m_frameRate)),
      m_codecId(codecIdOf(codec)), m_pixFmt(pixFmtOf(codec))
{
    fillOptions();
}

VideoEncoder::~VideoEncoder()
{
    if (m_isOpen)
        close();
    release();
    av_dict_free(&m_options);
}

AVRational VideoEncoder::frameRateOf(double frameRate)
{
    if (fuzzyEqual(frameRate, 59.94))
        return {60000, 1001};
    if (fuzzyEqual(frameRate, 29.97))
        return {30000, 1001};
    if (fuzzyEqual(frameRate, 23.98) || fuzzyEqual(frameRate, 23.976))
        return {24000, 1001};
    if (!std::isfinite(frameRate) || frameRate <= 0)
        return {0, 1};
    return av_d2q(frameRate, INT_MAX);
}

QSize VideoEncoder::encoderSize(int width, int height, Util::Codec codec)
{
    switch (codecIdOf(codec)) {
    case AV_CODEC_ID_AV1:
        return {roundUpToEven(qMax(64, width)), roundUpToEven(qMax(64, height))};
    case AV_CODEC_ID_H264:
        return {roundUpToEven(width), roundUpToEven(height)};
    default:
        return {width, height};
    }
}

QMap<QByteArray, QByteArray> VideoEncoder::options() const
{
    QMap<QByteArray, QByteArray> result;
    const AVDictionaryEntry* entry = nullptr;
    while ((entry = av_dict_get(m_options, "", entry, AV_DICT_IGNORE_SUFFIX)))
        result.insert(entry->key, entry->value);
    return result;
}

void VideoEncoder::fillOptions()
{
    av_dict_free(&m_options);
    auto set = [this](const char* key, const QByteArray& value) {
        av_dict_set(&m_options, key, value, 0);
    };
    if (m_format == Util::FormatAvi) {
        set("video_size", QByteArray::number(m_width) + 'x' + QByteArray::number(m_height));
        if (m_codecId == AV_CODEC_ID_RAWVIDEO && m_pixFmt == AV_PIX_FMT_BGR24)
            set("flipped_raw_rgb", "1");
    }
    if (m_codecId == AV_CODEC_ID_AV1) {
        set("crf", QByteArray::number(m_quality));
        set("preset", "5");
        set("color_primaries", m_height <= 1080 && m_width <= 1920 ? "bt709" : "bt2020");
    } else if (m_codecId == AV_CODEC_ID_H264) {
        set("rc_mode", "quality");
        set("qmin", QByteArray::number(m_quality));
        set("qmax", QByteArray::number(qBound(1, m_quality + 5, 51)));
        set("complexity", "2");
        set("profile", "high");
        set("coder", "cabac");
        set("allow_skip_frames", "false");
        set("loopfilter", "1");
    }
}

bool VideoEncoder::open()
{
    if (m_isOpen)
        return true;
    release();
    m_frameIndex = 0;
    m_errorReason.clear();
    m_closedCleanly = false;
    av_log_set_level(AV_LOG_ERROR);
    qputenv("SVT_LOG", "1");
    if (m_timeBase.num <= 0 || m_width <= 0 || m_height <= 0) {
        qDebug() << "VideoEncoder: no frame rate or no picture";
        return false;
    }
    const QByteArray extension = Util::formatExtension(m_format).toLatin1();
    if (avformat_alloc_output_context2(&m_muxer, nullptr, extension.constData(), nullptr) < 0 || !m_muxer) {
        qDebug() << "avformat_alloc_output_context2 failed!";
        return false;
    }
    fillOptions();
    if (!openStream()) {
        qDebug() << "openStream failed!";
        release();
        return false;
    }
    // The file before the codec: an encoder that was opened must be ended
    // the way its library requires (SVT-AV1 hangs when it is released
    // without ever being told the stream ended), so a file that cannot be
    // made fails before there is an encoder to end.
    if (!(m_muxer->oformat->flags & AVFMT_NOFILE)) {
        const int result = avio_open(&m_muxer->pb, m_path.toUtf8().constData(), AVIO_FLAG_WRITE);
        if (result < 0) {
            m_errorReason = errorText(result);
            qDebug().noquote() << "avio_open failed!: " + m_errorReason;
            release();
            return false;
        }
    }
    if (!openCodec()) {
        qDebug() << "openCodec failed!";
        release();
        QFile::remove(m_path); // created above, holds nothing
        return false;
    }
    av_dict_set(
        &m_muxer->metadata, "creation_time",
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss.zzz'Z'")).toUtf8(), 0);
    av_dict_set(&m_muxer->metadata, "title", QFileInfo(m_path).completeBaseName().toUtf8(), 0);
    AVDictionary* headerOptions = nullptr;
    av_dict_copy(&headerOptions, m_options, 0);
    const int result = avformat_write_header(m_muxer, &headerOptions);
    av_dict_free(&headerOptions);
    if (result < 0) {
        m_errorReason = errorText(result);
        qDebug() << "avformat_write_header failed!";
        release();
        QFile::remove(m_path);
        return false;
    }
    m_isOpen = true;
    emit isOpenChanged();
    return true;
}

bool VideoEncoder::openStream()
{
    if (m_codecId == AV_CODEC_ID_AV1)
        m_encoder = avcodec_find_encoder_by_name("libsvtav1");
    else if (m_codecId == AV_CODEC_ID_H264)
        m_encoder = avcodec_find_encoder_by_name("libopenh264");
    else
        m_encoder = avcodec_find_encoder(m_codecId);
    // Without FFmpeg's wrapper, H.264 goes through OpenH264 directly.
    if (!m_encoder && m_codecId != AV_CODEC_ID_H264) {
        qDebug() << "avcodec_find_encoder failed!";
        return false;
    }
    if (!(m_packet = av_packet_alloc())) {
        qDebug() << "av_packet_alloc failed!";
        return false;
    }
    if (!(m_stream = avformat_new_stream(m_muxer, nullptr))) {
        qDebug() << "avformat_new_stream failed!";
        return false;
    }
    m_stream->id = int(m_muxer->nb_streams) - 1;
    if (!(m_context = avcodec_alloc_context3(m_encoder))) {
        qDebug() << "avcodec_alloc_context3 failed!";
        return false;
    }
    m_context->codec_type = AVMEDIA_TYPE_VIDEO;
    m_context->codec_id = m_codecId;
    m_context->width = m_width;
    m_context->height = m_height;
    m_context->time_base = m_timeBase;
    m_context->framerate = m_frameRate;
    m_context->pix_fmt = m_pixFmt;
    m_stream->time_base = m_timeBase;
    m_stream->avg_frame_rate = m_frameRate;
    m_stream->r_frame_rate = m_frameRate;
    if (m_muxer->oformat->flags & AVFMT_GLOBALHEADER)
        m_context->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    return true;
}

bool VideoEncoder::openCodec()
{
    if (m_encoder) {
        AVDictionary* codecOptions = nullptr;
        av_dict_copy(&codecOptions, m_options, 0);
        const int result = avcodec_open2(m_context, m_encoder, &codecOptions);
        av_dict_free(&codecOptions);
        if (result < 0) {
            qDebug().noquote() << "avcodec_open2 failed: " + errorText(result);
            return false;
        }
        m_codecOpen = true;
    } else if (!openOpenH264()) {
        return false;
    }
    auto allocate = [this](AVFrame*& frame, AVPixelFormat format, const char* failure) {
        frame = av_frame_alloc();
        if (!frame) {
            qDebug() << failure;
            return false;
        }
        frame->format = format;
        frame->width = m_context->width;
        frame->height = m_context->height;
        const int result = av_frame_get_buffer(frame, 0);
        if (result < 0) {
            qDebug() << "av_frame_get_buffer failed:" << result;
            return false;
        }
        return true;
    };
    if (!allocate(m_frame, m_pixFmt, "frameAlloc failed!") ||
        !allocate(m_tempFrame, tempFormat(), "frameAlloc (temp) failed!"))
        return false;
    // What a picture does not cover stays black.
    const int planes = av_pix_fmt_count_planes(tempFormat());
    const int rowBytes = av_image_get_linesize(tempFormat(), m_tempFrame->width, 0);
    for (int plane = 0; plane < planes; ++plane) {
        const int planeRowBytes =
            planes == 1 ? rowBytes : av_image_get_linesize(tempFormat(), m_tempFrame->width, plane);
        for (int y = 0; y < m_tempFrame->height; ++y)
            std::memset(m_tempFrame->data[plane] + qptrdiff(y) * m_tempFrame->linesize[plane], 0,
                        size_t(planeRowBytes));
    }
    if (avcodec_parameters_from_context(m_stream->codecpar, m_context) < 0) {
        qDebug() << "avcodec_parameters_from_context failed!";
        return false;
    }
    return true;
}

bool VideoEncoder::openOpenH264()
{
    OpenH264Encoder::Settings settings;
    settings.width = m_width;
    settings.height = m_height;
    settings.frameRate = av_q2d(m_frameRate);
    settings.qmin = qBound(1, m_quality, 51);
    settings.qmax = qBound(1, m_quality + 5, 51);
    settings.threads = qBound(1, QThread::idealThreadCount(), 4);
    m_openH264 = std::make_unique<OpenH264Encoder>();
    QString error;
    if (!m_openH264->open(settings, &error)) {
        qDebug().noquote() << "avcodec_open2 failed: " + error;
        return false;
    }
    const QByteArray header = m_openH264->parameterSets();
    m_context->extradata =
        static_cast<uint8_t*>(av_mallocz(size_t(header.size()) + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!m_context->extradata)
        return false;
    std::memcpy(m_context->extradata, header.constData(), size_t(header.size()));
    m_context->extradata_size = int(header.size());
    m_context->profile = FF_PROFILE_H264_HIGH;
    return true;
}

AVPixelFormat VideoEncoder::tempFormat() const
{
    // swscale reads packed 48-bit RGB pixel by pixel through the format's
    // descriptor, several times slower than these two.
    return m_pixFmt == AV_PIX_FMT_YUV420P10LE ? AV_PIX_FMT_GBRP16LE : AV_PIX_FMT_BGR24;
}

void VideoEncoder::copyPicture(const quint16* picture)
{
    const int top = (m_height - m_pictureHeight) / 2;
    const int left = (m_width - m_pictureWidth) / 2;
    // Raw BGR24 in AVI is stored bottom-up.
    const bool bottomUp = m_format == Util::FormatAvi && m_pixFmt == AV_PIX_FMT_BGR24;
    const bool planar16 = tempFormat() == AV_PIX_FMT_GBRP16LE;
    cv::parallel_for_(cv::Range(0, m_pictureHeight), [&](const cv::Range& rows) {
        for (int y = rows.start; y < rows.end; ++y) {
            const int row = bottomUp ? m_height - 1 - (top + y) : top + y;
            const quint16* from = picture + qptrdiff(y) * m_pictureWidth * 3;
            if (planar16) {
                auto line = [&](int plane) {
                    return reinterpret_cast<quint16*>(m_tempFrame->data[plane] +
                                                      qptrdiff(row) * m_tempFrame->linesize[plane]) +
                           left;
                };
                quint16* g = line(0);
                quint16* b = line(1);
                quint16* r = line(2);
                for (int x = 0; x < m_pictureWidth; ++x) {
                    b[x] = from[3 * x];
                    g[x] = from[3 * x + 1];
                    r[x] = from[3 * x + 2];
                }
            } else {
                // 16 to 8 bits rounded, as the display's 8-bit picture.
                uint8_t* to =
                    m_tempFrame->data[0] + qptrdiff(row) * m_tempFrame->linesize[0] + qptrdiff(left) * 3;
                for (int i = 0; i < m_pictureWidth * 3; ++i)
                    to[i] = uint8_t((quint32(from[i]) * 255 + 32767) / 65535);
            }
        }
    });
}

void VideoEncoder::burnIn(BurnInRenderer* burnIn, const QStringList& lines)
{
    // Into the 8-bit picture (or the three 16-bit planes) that the copy
    // made: the picture handed over stays as it is, and nothing is copied
    // again.
    const int top = (m_height - m_pictureHeight) / 2;
    const int left = (m_width - m_pictureWidth) / 2;
    if (tempFormat() == AV_PIX_FMT_GBRP16LE) {
        for (int plane = 0; plane < 3; ++plane) {
            const qsizetype rowBytes = m_tempFrame->linesize[plane];
            burnIn->draw({m_tempFrame->data[plane] + top * rowBytes + qsizetype(left) * 2, rowBytes, 2, 1,
                          true, m_pictureWidth, m_pictureHeight},
                         lines);
        }
        return;
    }
    const bool bottomUp = m_format == Util::FormatAvi && m_pixFmt == AV_PIX_FMT_BGR24;
    const qsizetype rowBytes = m_tempFrame->linesize[0];
    const int firstRow = bottomUp ? m_height - 1 - top : top;
    burnIn->draw({m_tempFrame->data[0] + firstRow * rowBytes + qsizetype(left) * 3,
                  bottomUp ? -rowBytes : rowBytes, 3, 3, false, m_pictureWidth, m_pictureHeight},
                 lines);
}

bool VideoEncoder::makeVideoFrame(const QList<quint16>& picture, BurnInRenderer* burnIn,
                                  const QStringList& lines)
{
    if (picture.size() < qsizetype(m_pictureWidth) * m_pictureHeight * 3)
        return false;
    if (av_frame_make_writable(m_frame) < 0)
        return false;
    copyPicture(picture.constData());
    if (burnIn)
        this->burnIn(burnIn, lines);
    if (!m_scaler) {
        m_scaler = sws_getContext(m_width, m_height, tempFormat(), m_width, m_height, m_pixFmt, SWS_BICUBIC,
                                  nullptr, nullptr, nullptr);
        if (!m_scaler) {
            qDebug() << "sws_getContext failed!";
            return false;
        }
        if (m_pixFmt == AV_PIX_FMT_GRAY8) {
            // Grey AVI pictures are read as full range, like the grey TIFFs.
            int* inverse = nullptr;
            int* table = nullptr;
            int srcRange = 0, dstRange = 0, brightness = 0, contrast = 0, saturation = 0;
            sws_getColorspaceDetails(m_scaler, &inverse, &srcRange, &table, &dstRange, &brightness, &contrast,
                                     &saturation);
            sws_setColorspaceDetails(m_scaler, inverse, 1, table, 1, brightness, contrast, saturation);
        }
    }
    if (sws_scale(m_scaler, m_tempFrame->data, m_tempFrame->linesize, 0, m_height, m_frame->data,
                  m_frame->linesize) <= 0) {
        qDebug() << "bad sws_scale";
        return false;
    }
    m_frame->pts = m_format == Util::FormatMp4 ? qint64(m_frameIndex) * m_frameRate.den : m_frameIndex;
    ++m_frameIndex;
    return true;
}

int VideoEncoder::encode(const QList<quint16>& picture, BurnInRenderer* burnIn,
                         const QStringList& burnInLines)
{
    if (!m_isOpen) {
        qDebug() << "Not open!";
        return -1;
    }
    if (!makeVideoFrame(picture, burnIn, burnInLines)) {
        qDebug() << "getVideoFrame failed!";
        return -1;
    }
    return sendFrame(m_frame);
}

int VideoEncoder::sendFrame(AVFrame* frame)
{
    if (m_openH264) {
        // OpenH264 has no delay: each picture gives its access unit at once.
        if (!frame)
            return 1;
        QByteArray data;
        bool key = false;
        if (!m_openH264->encode(frame, &data, &key))
            return -1;
        if (data.isEmpty())
            return 0;
        if (av_new_packet(m_packet, int(data.size())) < 0)
            return -1;
        std::memcpy(m_packet->data, data.constData(), size_t(data.size()));
        m_packet->pts = m_packet->dts = frame->pts;
        m_packet->duration = m_format == Util::FormatMp4 ? m_frameRate.den : 1;
        if (key)
            m_packet->flags |= AV_PKT_FLAG_KEY;
        return writePacket(m_packet) < 0 ? -1 : 0;
    }
    if (!frame)
        m_codecOpen = false; // told of the end: it may be released now
    if (avcodec_send_frame(m_context, frame) < 0)
        return -1;
    for (;;) {
        const int result = avcodec_receive_packet(m_context, m_packet);
        if (result == AVERROR(EAGAIN))
            return 0;
        if (result == AVERROR_EOF)
            return 1;
        if (result < 0)
            return -1;
        if (writePacket(m_packet) < 0)
            return -1;
    }
}

int VideoEncoder::writePacket(AVPacket* packet)
{
    av_packet_rescale_ts(packet, m_context->time_base, m_stream->time_base);
    packet->stream_index = m_stream->index;
    // The muxer takes the packet's data and leaves it blank.
    const int result = av_interleaved_write_frame(m_muxer, packet);
    if (result < 0)
        m_errorReason = errorText(m_muxer->pb && m_muxer->pb->error < 0 ? m_muxer->pb->error : result);
    return result;
}

bool VideoEncoder::close()
{
    if (!m_isOpen) {
        qDebug() << "Not open!";
        return true;
    }
    m_isOpen = false;
    emit isOpenChanged();
    bool flushed = true;
    if (m_frameIndex > 0)
        flushed = sendFrame(nullptr) >= 0;
    else
        endEncoder(); // nothing to flush into the file
    const int trailer = av_write_trailer(m_muxer);
    const bool trailerWritten = trailer == 0;
    if (!trailerWritten && m_errorReason.isEmpty())
        m_errorReason = errorText(trailer);
    // The file is closed in release(); what it had to take shows there.
    bool fileClosed = true;
    if (m_muxer && !(m_muxer->oformat->flags & AVFMT_NOFILE) && m_muxer->pb)
        fileClosed = avio_closep(&m_muxer->pb) == 0;
    release();
    m_closedCleanly = flushed && trailerWritten && fileClosed;
    return m_closedCleanly;
}

void VideoEncoder::endEncoder()
{
    if (!m_codecOpen || !m_context)
        return;
    // SVT-AV1 hangs in its release when it was never told that the stream
    // ended, and hangs on that news when it never had a picture: it gets one
    // black picture, then the end. What it makes of them is thrown away.
    if (m_frameIndex == 0 && m_frame && m_tempFrame &&
        makeVideoFrame(QList<quint16>(qsizetype(m_pictureWidth) * m_pictureHeight * 3, 0)))
        avcodec_send_frame(m_context, m_frame);
    m_codecOpen = false;
    if (avcodec_send_frame(m_context, nullptr) >= 0)
        while (avcodec_receive_packet(m_context, m_packet) >= 0)
            av_packet_unref(m_packet);
}

void VideoEncoder::release()
{
    endEncoder();
    avcodec_free_context(&m_context);
    av_frame_free(&m_frame);
    av_frame_free(&m_tempFrame);
    av_packet_free(&m_packet);
    sws_freeContext(m_scaler);
    m_scaler = nullptr;
    m_openH264.reset();
    if (m_muxer) {
        if (!(m_muxer->oformat->flags & AVFMT_NOFILE) && m_muxer->pb)
            avio_closep(&m_muxer->pb);
        avformat_free_context(m_muxer);
        m_muxer = nullptr;
    }
    m_stream = nullptr;
    m_encoder = nullptr;
}
