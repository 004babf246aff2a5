#include "OpenH264Encoder.h"

#include <wels/codec_api.h>

#include <QtGlobal>

extern "C" {
#include <libavutil/frame.h>
}

namespace {

// Appends every NAL unit of a frame's layers, start codes included.
QByteArray collectLayers(const SFrameBSInfo& info)
{
    QByteArray data;
    for (int layer = 0; layer < info.iLayerNum; ++layer) {
        const SLayerBSInfo& bs = info.sLayerInfo[layer];
        int size = 0;
        for (int nal = 0; nal < bs.iNalCount; ++nal)
            size += bs.pNalLengthInByte[nal];
        data.append(reinterpret_cast<const char*>(bs.pBsBuf), size);
    }
    return data;
}

} // namespace

OpenH264Encoder::~OpenH264Encoder()
{
    if (m_encoder) {
        m_encoder->Uninitialize();
        WelsDestroySVCEncoder(m_encoder);
    }
}

bool OpenH264Encoder::open(const Settings& settings, QString* error)
{
    m_settings = settings;
    if (WelsCreateSVCEncoder(&m_encoder) != 0 || !m_encoder) {
        m_encoder = nullptr;
        *error = QStringLiteral("WelsCreateSVCEncoder failed");
        return false;
    }
    int logLevel = WELS_LOG_ERROR;
    m_encoder->SetOption(ENCODER_OPTION_TRACE_LEVEL, &logLevel);

    SEncParamExt param;
    m_encoder->GetDefaultParams(&param);
    param.iUsageType = CAMERA_VIDEO_REAL_TIME;
    param.iPicWidth = settings.width;
    param.iPicHeight = settings.height;
    param.fMaxFrameRate = float(settings.frameRate);
    // Quality mode keeps the quantiser between qmin and qmax; the target
    // rate is set out of reach so that it is the quality that decides.
    param.iRCMode = RC_QUALITY_MODE;
    param.iTargetBitrate = 200000000;
    param.iMaxBitrate = UNSPECIFIED_BIT_RATE;
    param.iMinQp = settings.qmin;
    param.iMaxQp = settings.qmax;
    param.iComplexityMode = HIGH_COMPLEXITY;
    param.iEntropyCodingModeFlag = 1;
    param.bEnableFrameSkip = false;
    param.iLoopFilterDisableIdc = 0;
    param.uiIntraPeriod = uint(qMax(1, settings.keyFrameInterval));
    param.eSpsPpsIdStrategy = CONSTANT_ID;
    param.iMultipleThreadIdc = qMax(1, settings.threads);
    param.iSpatialLayerNum = 1;
    param.iTemporalLayerNum = 1;
    SSpatialLayerConfig& layer = param.sSpatialLayers[0];
    layer.iVideoWidth = settings.width;
    layer.iVideoHeight = settings.height;
    layer.fFrameRate = param.fMaxFrameRate;
    layer.iSpatialBitrate = param.iTargetBitrate;
    layer.iMaxSpatialBitrate = UNSPECIFIED_BIT_RATE;
    layer.uiProfileIdc = PRO_HIGH;
    layer.uiLevelIdc = LEVEL_UNKNOWN;
    // One slice per thread: OpenH264 encodes slices in parallel.
    layer.sSliceArgument.uiSliceMode = param.iMultipleThreadIdc > 1 ? SM_FIXEDSLCNUM_SLICE : SM_SINGLE_SLICE;
    layer.sSliceArgument.uiSliceNum = uint(param.iMultipleThreadIdc);

    if (m_encoder->InitializeExt(&param) != cmResultSuccess) {
        *error = QStringLiteral("OpenH264 refused the settings");
        return false;
    }
    int dataFormat = videoFormatI420;
    m_encoder->SetOption(ENCODER_OPTION_DATAFORMAT, &dataFormat);

    SFrameBSInfo info{};
    if (m_encoder->EncodeParameterSets(&info) != cmResultSuccess) {
        *error = QStringLiteral("OpenH264 gave no parameter sets");
        return false;
    }
    m_parameterSets = collectLayers(info);
    return true;
}

bool OpenH264Encoder::encode(const AVFrame* frame, QByteArray* data, bool* key)
{
    data->clear();
    *key = false;
    if (!m_encoder)
        return false;
    SSourcePicture picture{};
    picture.iColorFormat = videoFormatI420;
    picture.iPicWidth = m_settings.width;
    picture.iPicHeight = m_settings.height;
    for (int plane = 0; plane < 3; ++plane) {
        picture.iStride[plane] = frame->linesize[plane];
        picture.pData[plane] = frame->data[plane];
    }
    // Time stamps only pace the rate control; the muxer's come from the
    // frame count.
    picture.uiTimeStamp = qRound64(m_frameIndex++ * 1000.0 / qMax(1e-3, m_settings.frameRate));
    SFrameBSInfo info{};
    if (m_encoder->EncodeFrame(&picture, &info) != cmResultSuccess)
        return false;
    if (info.eFrameType == videoFrameTypeSkip || info.eFrameType == videoFrameTypeInvalid)
        return true;
    *data = collectLayers(info);
    *key = info.eFrameType == videoFrameTypeIDR;
    return true;
}
