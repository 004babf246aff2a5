#include "ImgAdjModel.h"

#include "ImgAdjUtil.h"
#include "VornObject.h"
#include "VornValue.h"

namespace {

// Channel 0: a value that changes the picture without touching the tables.
constexpr int noLut = 0;

struct ValueSpec
{
    VornValue* ImgAdjModel::*member;
    const char* key;
    QVariant ImgAdjBlock::*storage;
    VornValue::Type type;
    int lutChannel;
};

} // namespace

ImgAdjModel::ImgAdjModel(VornObject* owner)
    : ImgAdjModel(owner, [this](const QStringList& key, int type, QVariant* storage) {
          return new VornValue(key, type, this, storage);
      })
{
}

ImgAdjModel::ImgAdjModel(VornObject* owner, const ValueFactory& makeValue) : QObject(owner)
{
    createValues(owner, makeValue);
}

void ImgAdjModel::createValues(VornObject* owner, const ValueFactory& makeValue)
{
    using B = ImgAdjBlock;
    using M = ImgAdjModel;
    const ValueSpec specs[] = {
        {&M::m_offsetG, "offset", &B::offsetG, VornValue::Double, Util::G},
        {&M::m_offsetR, "offset_r", &B::offsetR, VornValue::Double, Util::R},
        {&M::m_offsetB, "offset_b", &B::offsetB, VornValue::Double, Util::B},
        {&M::m_gainG, "gain", &B::gainG, VornValue::Double, Util::G},
        {&M::m_gainR, "gain_r", &B::gainR, VornValue::Double, Util::R},
        {&M::m_gainB, "gain_b", &B::gainB, VornValue::Double, Util::B},
        {&M::m_gammaG, "gamma", &B::gammaG, VornValue::Double, Util::G},
        {&M::m_gammaR, "gamma_r", &B::gammaR, VornValue::Double, Util::R},
        {&M::m_gammaB, "gamma_b", &B::gammaB, VornValue::Double, Util::B},
        {&M::m_contrastG, "contrast", &B::contrastG, VornValue::Double, Util::G},
        {&M::m_contrastR, "contrast_r", &B::contrastR, VornValue::Double, Util::R},
        {&M::m_contrastB, "contrast_b", &B::contrastB, VornValue::Double, Util::B},
        {&M::m_cfa, "cfa", &B::cfa, VornValue::Int, noLut},
        {&M::m_wbR, "wb_r", &B::wbR, VornValue::Double, noLut},
        {&M::m_wbG, "wb_g", &B::wbG, VornValue::Double, noLut},
        {&M::m_wbB, "wb_b", &B::wbB, VornValue::Double, noLut},
        {&M::m_wbCalR, "wb_cal_r", &B::wbCalR, VornValue::Double, noLut},
        {&M::m_wbCalG, "wb_cal_g", &B::wbCalG, VornValue::Double, noLut},
        {&M::m_wbCalB, "wb_cal_b", &B::wbCalB, VornValue::Double, noLut},
    };
    for (const ValueSpec& entry : specs) {
        VornValue* value = makeValue({QStringLiteral("adjust"), QString::fromLatin1(entry.key)}, entry.type,
                                     &(m_block.*entry.storage));
        this->*entry.member = value;
        m_values.append(value);
        if (owner)
            owner->appendValue(value);
        // Local edits and remote updates alike change the picture.
        const int channel = entry.lutChannel;
        connect(value, &VornValue::valueChanged, this,
                [this, channel] { onValueChanged(Util::Color(channel)); });
    }
}

void ImgAdjModel::onValueChanged(Util::Color lutChannel)
{
    if (m_resetting)
        return;
    if (lutChannel == noLut)
        emit imgAdjUpdated();
    else
        updateLut(lutChannel);
}

void ImgAdjModel::updateLut(Util::Colors colors)
{
    struct Channel
    {
        Util::Color colour;
        VornValue *offset, *gain, *gamma, *contrast;
        QList<quint16>& lut;
    };
    const Channel channels[] = {
        {Util::R, m_offsetR, m_gainR, m_gammaR, m_contrastR, m_block.lutR},
        {Util::G, m_offsetG, m_gainG, m_gammaG, m_contrastG, m_block.lutG},
        {Util::B, m_offsetB, m_gainB, m_gammaB, m_contrastB, m_block.lutB},
    };
    for (const Channel& channel : channels) {
        if (colors.testFlag(channel.colour))
            ImgAdjUtil::buildLut16(channel.lut, channel.offset->value().toDouble(),
                                   channel.gain->value().toDouble(), channel.gamma->value().toDouble(),
                                   channel.contrast->value().toDouble());
    }
    emit imgAdjUpdated();
}

void ImgAdjModel::reset(Util::Colors colors)
{
    struct Channel
    {
        Util::Color colour;
        VornValue *offset, *gain, *gamma, *contrast;
    };
    const Channel channels[] = {
        {Util::R, m_offsetR, m_gainR, m_gammaR, m_contrastR},
        {Util::G, m_offsetG, m_gainG, m_gammaG, m_contrastG},
        {Util::B, m_offsetB, m_gainB, m_gammaB, m_contrastB},
    };
    m_resetting = true;
    for (const Channel& channel : channels) {
        if (!colors.testFlag(channel.colour))
            continue;
        channel.offset->setValue(0.0, true);
        channel.gain->setValue(1.0, true);
        channel.gamma->setValue(1.0, true);
        channel.contrast->setValue(0.0, true);
    }
    m_resetting = false;
    updateLut(colors);
}

void ImgAdjModel::setRotate(const QVariant& rotate)
{
    if (rotate == m_block.rotate)
        return;
    m_block.rotate = rotate;
    emit rotateChanged();
    emit imgAdjUpdated();
}

void ImgAdjModel::setFlipH(const QVariant& flipH)
{
    if (flipH == m_block.flipH)
        return;
    m_block.flipH = flipH;
    emit flipHChanged();
    emit imgAdjUpdated();
}

void ImgAdjModel::setFlipV(const QVariant& flipV)
{
    if (flipV == m_block.flipV)
        return;
    m_block.flipV = flipV;
    emit flipVChanged();
    emit imgAdjUpdated();
}

void ImgAdjModel::setExpAssist(ExpAssist expAssist)
{
    if (expAssist == m_block.expAssist)
        return;
    m_block.expAssist = expAssist;
    // Only one overlay at a time.
    if (expAssist > 0)
        setFocusPeak(FocusPeakDisabled);
    emit expAssistChanged();
    emit imgAdjUpdated();
}

void ImgAdjModel::setFocusPeak(FocusPeak focusPeak)
{
    if (focusPeak == m_block.focusPeak)
        return;
    m_block.focusPeak = focusPeak;
    if (focusPeak >= 1 && m_block.expAssist != ExpAssistDisabled)
        setExpAssist(ExpAssistDisabled);
    emit focusPeakChanged();
    emit imgAdjUpdated();
}
