#include "CameraSettingsCopy.h"

#include "Camera.h"
#include "CameraRig.h"

#include <QTimer>
#include <cmath>

namespace {

CameraValue* cameraValue(const Camera* camera, const char* name)
{
    return camera ? camera->property(name).value<CameraValue*>() : nullptr;
}

int intValue(const Camera* camera, const char* name)
{
    CameraValue* value = cameraValue(camera, name);
    return value ? value->value().toInt() : 0;
}

QString microseconds(qint64 clocks, int clkFreq)
{
    return clkFreq > 0 ? QString::number(double(clocks) * 1e6 / clkFreq, 'f', 3) + QStringLiteral(" µs")
                       : QStringLiteral("%1 clocks").arg(clocks);
}

QString framesPerSecond(qint64 clocks, int clkFreq)
{
    return clocks > 0 && clkFreq > 0
               ? QString::number(double(clkFreq) / clocks, 'f', 3) + QStringLiteral(" fps")
               : QStringLiteral("%1 clocks").arg(clocks);
}

QString syncModeText(int mode)
{
    switch (mode) {
    case Camera::FsyncModeInt:
        return QStringLiteral("Internal");
    case Camera::FsyncModeExt:
        return QStringLiteral("External");
    case Camera::FsyncModeIrig:
        return QStringLiteral("IRIG");
    case Camera::FsyncModeTrig:
        return QStringLiteral("Trigger");
    default:
        return QString::number(mode);
    }
}

} // namespace

CameraSettingsCopy::Settings CameraSettingsCopy::read(const Camera* camera)
{
    Settings s;
    s.model = cameraValue(camera, "cameraModel")->value().toString();
    s.res = cameraValue(camera, "res")->value().toString();
    s.clkFreq = intValue(camera, "clkFreq");
    s.frClks = intValue(camera, "frClks");
    s.expClks = intValue(camera, "expClks");
    s.fsyncMode = intValue(camera, "fsyncMode");
    s.trigOffset = cameraValue(camera, "trigOffset")->value().toUInt();
    s.prtnCnt = intValue(camera, "prtnCnt");
    return s;
}

CameraSettingsCopy::CameraSettingsCopy(const Settings& wanted, Camera* target, QObject* parent)
    : QObject(parent), m_wanted(wanted), m_target(target), m_targetName(CameraRig::displayName(target))
{
    m_stepTimer = new QTimer(this);
    m_stepTimer->setSingleShot(true);
    m_stepTimer->setInterval(StepTimeoutMs);
    connect(m_stepTimer, &QTimer::timeout, this, [this] {
        finish(QStringLiteral("did not report back in time; its settings may be incomplete"));
    });
}

CameraValue* CameraSettingsCopy::value(const char* name) const
{
    return cameraValue(m_target, name);
}

bool CameraSettingsCopy::partitionAllowed() const
{
    // A new partition count ends a recording and needs an empty memory.
    return intValue(m_target, "acqState") == Camera::AcqStandby && m_target->savedTakes()->count() == 0;
}

int CameraSettingsCopy::targetClocks(int sourceClocks) const
{
    const int clkFreq = intValue(m_target, "clkFreq");
    if (clkFreq <= 0 || m_wanted.clkFreq <= 0 || clkFreq == m_wanted.clkFreq)
        return sourceClocks;
    return int(std::llround(double(sourceClocks) * clkFreq / m_wanted.clkFreq));
}

void CameraSettingsCopy::start()
{
    m_step = Modes;
    runStep();
}

void CameraSettingsCopy::runStep()
{
    if (m_finished)
        return;
    if (!m_target || !m_target->connected()) {
        finish(QStringLiteral("was disconnected during the copy"));
        return;
    }
    dropConnections();
    m_unsent = 0;
    bool commanded = false;
    switch (m_step) {
    case Modes:
        write("res", m_wanted.res);
        write("fsyncMode", m_wanted.fsyncMode);
        if (intValue(m_target, "prtnCnt") != m_wanted.prtnCnt) {
            if (partitionAllowed()) {
                m_target->partition(m_wanted.prtnCnt);
                commanded = true;
            } else {
                m_partitionSkipped = true;
            }
        }
        break;
    case FramePeriod:
        // An external frame sync sets the period itself.
        if (m_wanted.fsyncMode != Camera::FsyncModeExt)
            write("frClks", targetClocks(m_wanted.frClks));
        break;
    case Exposure:
        write("expClks", targetClocks(m_wanted.expClks));
        write("trigOffset", m_wanted.trigOffset);
        break;
    case Check:
        compare();
        return;
    }
    if (m_unsent > 0)
        return; // waitForPolls() once the last write was answered
    if (commanded) {
        waitForPolls();
        return;
    }
    m_step = Step(m_step + 1);
    runStep();
}

void CameraSettingsCopy::write(const char* valueName, const QVariant& wanted)
{
    CameraValue* v = value(valueName);
    if (!v || v->value() == wanted)
        return;
    ++m_unsent;
    m_connections << connect(v, &CameraValue::valueSent, this, &CameraSettingsCopy::valueSent,
                             Qt::SingleShotConnection);
    v->setValue(wanted, false);
    m_stepTimer->start();
}

void CameraSettingsCopy::valueSent()
{
    if (--m_unsent == 0)
        waitForPolls();
}

void CameraSettingsCopy::waitForPolls()
{
    dropConnections();
    if (!m_target) {
        finish(QStringLiteral("was disconnected during the copy"));
        return;
    }
    // A poll already under way may carry the state from before the writes.
    m_pollsNeeded = m_target->pollInFlight() ? 3 : 2;
    m_connections << connect(m_target, &Camera::valuesPolled, this, &CameraSettingsCopy::polled);
    m_stepTimer->start();
}

void CameraSettingsCopy::polled()
{
    if (--m_pollsNeeded > 0)
        return;
    m_step = Step(m_step + 1);
    runStep();
}

void CameraSettingsCopy::compare()
{
    const QString prefix = m_targetName + QStringLiteral(": ");
    const int clkFreq = intValue(m_target, "clkFreq");
    const QString res = value("res")->value().toString();
    if (res != m_wanted.res)
        m_problems << prefix + QStringLiteral("resolution %1 became %2").arg(m_wanted.res, res);
    const int sync = intValue(m_target, "fsyncMode");
    if (sync != m_wanted.fsyncMode)
        m_problems << prefix + QStringLiteral("sync mode %1 became %2")
                                   .arg(syncModeText(m_wanted.fsyncMode), syncModeText(sync));
    const int frClks = intValue(m_target, "frClks");
    if (m_wanted.fsyncMode != Camera::FsyncModeExt && frClks != targetClocks(m_wanted.frClks))
        m_problems << prefix + QStringLiteral("frame rate %1 became %2")
                                   .arg(framesPerSecond(m_wanted.frClks, m_wanted.clkFreq),
                                        framesPerSecond(frClks, clkFreq));
    const int expClks = intValue(m_target, "expClks");
    if (expClks != targetClocks(m_wanted.expClks))
        m_problems << prefix + QStringLiteral("exposure %1 became %2")
                                   .arg(microseconds(m_wanted.expClks, m_wanted.clkFreq),
                                        microseconds(expClks, clkFreq));
    const uint trigOffset = value("trigOffset")->value().toUInt();
    if (trigOffset != m_wanted.trigOffset)
        m_problems << prefix + QStringLiteral("trigger offset %1 frames became %2 frames")
                                   .arg(m_wanted.trigOffset)
                                   .arg(trigOffset);
    const int prtnCnt = intValue(m_target, "prtnCnt");
    if (prtnCnt != m_wanted.prtnCnt) {
        if (m_partitionSkipped)
            m_problems << prefix + QStringLiteral("partitions stay %1, not %2: the camera must be in "
                                                  "stand-by without saved takes")
                                       .arg(prtnCnt)
                                       .arg(m_wanted.prtnCnt);
        else
            m_problems << prefix +
                              QStringLiteral("partitions %1 became %2").arg(m_wanted.prtnCnt).arg(prtnCnt);
    }
    finish();
}

void CameraSettingsCopy::finish(const QString& problem)
{
    if (m_finished)
        return;
    m_finished = true;
    m_stepTimer->stop();
    dropConnections();
    if (!problem.isEmpty())
        m_problems << m_targetName + QStringLiteral(": ") + problem;
    emit done();
}

void CameraSettingsCopy::dropConnections()
{
    for (const QMetaObject::Connection& c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
}
