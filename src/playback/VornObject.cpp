#include "VornObject.h"

#include "ImgAdjUtil.h"
#include "RawFrame.h"
#include "VornApp.h"
#include "VornValue.h"

#include <QDateTime>
#include <QRandomGenerator>
#include <QTimeZone>

VornObject::VornObject(Type type, QObject* parent, const QString& nameSuffix)
    : QObject(parent), m_type(type), m_imgFrame(new ImgFrame(this)), m_histogram(new Histogram(this))
{
    setObjectName(randomName(nameSuffix));
}

void VornObject::setImageModel(ImgAdjModel* model)
{
    m_imgAdjModel = model;
    m_vornFrame = new VornFrame(&model->block(), this);
    // Every processed frame is shown.
    m_vornFrame->setImageWithFrame(true);
}

void VornObject::setTimestamp(const QString& timestamp)
{
    if (timestamp == m_timestamp)
        return;
    m_timestamp = timestamp;
    emit timestampChanged();
}

int VornObject::fetchFrame(RawFrame*)
{
    return -1;
}

int VornObject::requestFrame()
{
    if (m_requestInFlight || !m_selected || frameBusy() || !m_vornFrame)
        return -1;
    auto* frame = new RawFrame(this);
    connect(frame, &RawFrame::initFinished, this, &VornObject::frameReady);
    connect(frame, &RawFrame::initError, this, &VornObject::frameFailed);
    m_requestInFlight = true;
    if (fetchFrame(frame) < 0) {
        frame->deleteLater();
        frameFailed();
    }
    return 0;
}

void VornObject::frameReady()
{
    auto* frame = qobject_cast<RawFrame*>(sender());
    if (frame) {
        m_vornFrame->setRawFrame(frame);
        m_imgFrame->setImage(m_vornFrame->image());
        setTimestamp(timeText(frame->yearOffset() + m_vornFrame->seconds(), m_vornFrame->nanoseconds()));
        m_histogram->setImage(m_vornFrame->clean(), m_vornFrame->width(), m_vornFrame->height());
        frame->deleteLater();
    }
    m_requestInFlight = false;
}

void VornObject::frameFailed()
{
    if (auto* frame = qobject_cast<RawFrame*>(sender()))
        frame->deleteLater();
    m_requestInFlight = false;
}

QString VornObject::timeText(quint64 seconds, quint32 nanoseconds)
{
    const QDateTime time =
        QDateTime::fromMSecsSinceEpoch(qint64(seconds * 1000 + nanoseconds / 1000000), Qt::UTC);
    QString text = time.toString(Qt::ISODate);
    return text.insert(text.size() - 1, QStringLiteral(".%1").arg(nanoseconds, 9, 10, QLatin1Char('0')));
}

void VornObject::autoWhiteBalance()
{
    if (!m_vornFrame || !m_imgAdjModel || m_vornFrame->raw16().isEmpty())
        return;
    const ImgAdjUtil::WhiteBalance gains = VornApp::instance()->imgAdjUtil()->autoWhiteBalance(
        *m_vornFrame->block(), m_vornFrame->raw16(), m_vornFrame->rawHeight(), m_vornFrame->rawWidth());
    m_imgAdjModel->wbR()->setValue(gains.r);
    m_imgAdjModel->wbG()->setValue(gains.g);
    m_imgAdjModel->wbB()->setValue(gains.b);
}

void VornObject::setSelected(bool selected)
{
    if (m_selected == selected)
        return;
    m_selected = selected;
    emit selectedChanged();
}

QString VornObject::randomName(const QString& suffix)
{
    return QString::number(QRandomGenerator::global()->generate64(), 16).toUpper() + suffix;
}

QJsonValue VornObject::lookup(const QStringList& keyPath, const QJsonObject& object)
{
    if (keyPath.isEmpty())
        return QJsonValue(QJsonValue::Undefined);
    const QJsonValue member = object.value(keyPath.first());
    if (keyPath.size() == 1)
        return member;
    if (!member.isObject())
        return QJsonValue();
    return lookup(keyPath.mid(1), member.toObject());
}

void VornObject::loadValues(const QJsonObject& document)
{
    for (VornValue* value : std::as_const(m_values)) {
        QJsonValue found = lookup(value->key(), document);
        if (found.isNull() || found.isUndefined())
            found = lookup(value->altKey(), document);
        if (!found.isNull() && !found.isUndefined())
            value->setJsonValue(found);
    }
}

static void insertAt(QJsonObject& object, const QStringList& keyPath, const QJsonValue& value)
{
    if (keyPath.size() == 1) {
        object.insert(keyPath.first(), value);
        return;
    }
    QJsonObject child = object.value(keyPath.first()).toObject();
    insertAt(child, keyPath.mid(1), value);
    object.insert(keyPath.first(), child);
}

QJsonObject VornObject::valuesToJson() const
{
    QJsonObject document;
    for (const VornValue* value : m_values) {
        if (!value->key().isEmpty())
            insertAt(document, value->key(), value->toJsonValue());
    }
    return document;
}
