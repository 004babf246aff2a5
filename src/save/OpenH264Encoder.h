#pragma once

#include <QByteArray>
#include <QString>

class ISVCEncoder;
struct AVFrame;

// H.264 through the OpenH264 library itself, for FFmpeg builds without its
// "libopenh264" encoder. Quality-based rate control between qmin and qmax,
// high profile, CABAC, high complexity, no skipped frames, loop filter on:
// the settings FFmpeg's wrapper would be given. Output is Annex B (start
// codes), which the MP4 muxer converts to its own framing.
class OpenH264Encoder
{
public:
    struct Settings
    {
        int width = 0;
        int height = 0;
        double frameRate = 30;
        int qmin = 20;
        int qmax = 25;
        int threads = 1;
        int keyFrameInterval = 12;
    };

    OpenH264Encoder() = default;
    ~OpenH264Encoder();
    OpenH264Encoder(const OpenH264Encoder&) = delete;
    OpenH264Encoder& operator=(const OpenH264Encoder&) = delete;

    // False with `error` set when the library refuses the settings.
    bool open(const Settings& settings, QString* error);
    // Sequence and picture parameter sets, each with its start code: the
    // stream's global header.
    QByteArray parameterSets() const { return m_parameterSets; }
    // Encodes one YUV 4:2:0 picture of the configured size. `data` receives
    // the access unit (empty when the encoder dropped the picture) and `key`
    // whether it is an IDR picture.
    bool encode(const AVFrame* frame, QByteArray* data, bool* key);

private:
    ISVCEncoder* m_encoder = nullptr;
    Settings m_settings;
    QByteArray m_parameterSets;
    qint64 m_frameIndex = 0;
};
