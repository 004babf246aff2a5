// The camera's setting lists: the choices a combo box offers for resolution,
// frame rate, exposure, trigger offset, video format and f-number, and the
// index of the camera's current value among them. The arithmetic lives in
// SettingListMath; here the lists are kept in their models and follow the
// camera's values.
#include "Camera.h"
#include "SettingListMath.h"

#include <QDebug>

namespace {

// Replaces the model's list only when it differs, so that a view keeps its
// state across the many polls that change nothing. Returns whether it did.
bool replaceList(QStringListModel* model, const QStringList& entries)
{
    if (model->stringList() == entries)
        return false;
    model->setStringList(entries);
    return true;
}

} // namespace

void Camera::createSettingLists()
{
    m_resList = new QStringListModel(this);
    m_frRateList = new QStringListModel(this);
    m_expList = new QStringListModel(this);
    m_trigOffsetList = new QStringListModel(this);
    m_vidFormatList = new QStringListModel(this);
    m_fstopList = new QStringListModel(this);

    for (CameraValue* input : {m_frRate, m_frClks, m_frClksMin, m_frClksMax, m_fsyncMode})
        connect(input, &VornValue::valueChanged, this, &Camera::setFrRateList);
    for (CameraValue* input :
         {m_expClks, m_expClksMin, m_expClksMax, m_expClksMult, m_expClksOfst, m_lowLightExpClks})
        connect(input, &VornValue::valueChanged, this, &Camera::setExpList);
    for (CameraValue* input : {m_trigOffset, m_take1PrtnFrCnt})
        connect(input, &VornValue::valueChanged, this, &Camera::setTrigOffsetList);
    for (CameraValue* input : {m_lensFstopMin, m_lensFstopMax})
        connect(input, &VornValue::valueChanged, this, &Camera::setFstopList);
    connect(m_res, &VornValue::valueChanged, this, &Camera::updateResIndex);
    connect(m_vidFormat, &VornValue::valueChanged, this, &Camera::updateVidFormatIndex);
    connect(m_lensFstop, &VornValue::valueChanged, this, &Camera::updateFstopIndex);
}

void Camera::setResList(const QJsonObject& document)
{
    // The model's own reset tells the views; resListChanged is not needed.
    replaceList(m_resList,
                SettingListMath::stringArray(document, QStringLiteral("acq"), QStringLiteral("valid_res")));
    updateResIndex();
}

void Camera::updateResIndex()
{
    const int index = m_resList->stringList().indexOf(m_res->value().toString());
    if (index == m_resIndex)
        return;
    m_resIndex = index;
    emit resIndexChanged();
}

void Camera::setFrRateList()
{
    if (!m_connected)
        return;
    if (m_fsyncMode->value().toInt() == FsyncModeExt) {
        setFrRateListExt();
        return;
    }
    // The camera reports these as signed numbers; they count as unsigned
    // 32-bit clocks here, so -1 is the widest limit, 0xFFFFFFFF.
    const auto clocks = [](CameraValue* value) {
        return quint32(value->value().toInt());
    };
    const SettingListMath::Choices choices =
        SettingListMath::frameRates(clocks(m_clkFreq), clocks(m_frClks), clocks(m_frClksMin),
                                    clocks(m_frClksMax), m_frRate->value().toDouble());
    if (replaceList(m_frRateList, choices.entries))
        emit frRateListChanged();
    m_frRateListIndex = choices.entries.indexOf(choices.current);
    emit frRateListIndexChanged();
}

bool Camera::writeFrameRate(double fps)
{
    const qint64 clocks = SettingListMath::frameClocksForRate(quint32(m_clkFreq->value().toInt()), fps);
    if (clocks < 0)
        return false;
    m_frClks->setValue(int(clocks), false);
    return true;
}

bool Camera::writeExposure(double us)
{
    const qint64 clocks = SettingListMath::exposureClocks(m_clkFreq->value().toInt(), us);
    if (clocks < 0)
        return false;
    CameraValue* target = m_lowLightMode->value().toInt() > 0 ? m_lowLightExpClks : m_expClks;
    target->setValue(int(clocks), false);
    return true;
}

void Camera::setFrRateListExt()
{
    qDebug() << objectName() << Q_FUNC_INFO;
    const SettingListMath::Choices choices = SettingListMath::externalFrameRate(m_frRate->value().toDouble());
    if (replaceList(m_frRateList, choices.entries))
        emit frRateListChanged();
    m_frRateListIndex = 0;
    emit frRateListIndexChanged();
}

void Camera::setExpList()
{
    if (!m_connected)
        return;
    const SettingListMath::Choices choices = SettingListMath::exposures(
        m_clkFreq->value().toInt(), m_expClks->value().toInt(), m_expClksMin->value().toInt(),
        m_expClksMax->value().toInt(), m_expClksMult->value().toInt(), m_expClksOfst->value().toInt());
    if (replaceList(m_expList, choices.entries))
        emit expListChanged();
    m_expListIndex = choices.entries.indexOf(choices.current);
    emit expListIndexChanged();
}

void Camera::setTrigOffsetList()
{
    const SettingListMath::Choices choices =
        SettingListMath::trigOffsets(m_trigOffset->value().toUInt(), m_take1PrtnFrCnt->value().toInt());
    if (replaceList(m_trigOffsetList, choices.entries))
        emit trigOffsetListChanged();
    m_trigOffsetListIndex = choices.entries.indexOf(choices.current);
    emit trigOffsetListIndexChanged();
}

void Camera::setVidFormatList(const QJsonObject& document)
{
    const QJsonValue formats =
        document.value(QStringLiteral("video")).toObject().value(QStringLiteral("valid_format"));
    const QStringList entries =
        formats.isArray()
            ? SettingListMath::stringArray(document, QStringLiteral("video"), QStringLiteral("valid_format"))
            : SettingListMath::defaultVideoFormats();
    // The model's own reset tells the views; vidFormatListChanged is not needed.
    replaceList(m_vidFormatList, entries);
    updateVidFormatIndex();
}

void Camera::updateVidFormatIndex()
{
    const int index = m_vidFormatList->stringList().indexOf(m_vidFormat->value().toString());
    if (index == m_vidFormatIndex)
        return;
    m_vidFormatIndex = index;
    emit vidFormatIndexChanged();
}

void Camera::setFstopList()
{
    if (replaceList(m_fstopList, SettingListMath::fstops(m_lensFstopMin->value().toDouble(),
                                                         m_lensFstopMax->value().toDouble())))
        emit fstopListChanged();
    updateFstopIndex();
}

void Camera::updateFstopIndex()
{
    const int index =
        m_fstopList->stringList().indexOf(SettingListMath::fstopText(m_lensFstop->value().toDouble()));
    if (index == m_fstopIndex)
        return;
    m_fstopIndex = index;
    emit fstopIndexChanged();
}
