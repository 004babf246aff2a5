#include "PlaybackVornObject.h"

#include "FuzzyCompare.h"
#include "PlaybackPositions.h"
#include <QGuiApplication>
#include <QScreen>
#include <QtMath>

const PlaybackVornObject::ValueSpec PlaybackVornObject::s_valueSpecs[] = {
    {&PlaybackVornObject::m_firstFr, "first_fr", "", VornValue::Int},
    {&PlaybackVornObject::m_lastFr, "last_fr", "", VornValue::Int},
    {&PlaybackVornObject::m_frCnt, "fr_cnt", "", VornValue::Int},
    {&PlaybackVornObject::m_ptFrCnt, "pt_fr_cnt", "", VornValue::Int},
    {&PlaybackVornObject::m_trigTsS, "trig_ts_s", "", VornValue::Int},
    {&PlaybackVornObject::m_trigTsNs, "trig_ts_ns", "", VornValue::Int},
    {&PlaybackVornObject::m_trigSrc, "trig_src", "", VornValue::Int},
    {&PlaybackVornObject::m_res, "acq/res", "", VornValue::String},
    {&PlaybackVornObject::m_bpp, "acq/bpp", "", VornValue::Int},
    {&PlaybackVornObject::m_clkFreq, "acq/clk_freq", "", VornValue::Int},
    {&PlaybackVornObject::m_expClks, "acq/exp_clks", "", VornValue::Int},
    {&PlaybackVornObject::m_expTime, "acq/exp_time", "", VornValue::Double},
    {&PlaybackVornObject::m_frClks, "acq/fr_clks", "", VornValue::Int},
    {&PlaybackVornObject::m_frRate, "acq/fr_rate", "", VornValue::Double},
    {&PlaybackVornObject::m_fsyncMode, "acq/fsync_mode", "", VornValue::Int},
    {&PlaybackVornObject::m_fsyncState, "acq/fsync_state", "", VornValue::Int},
    {&PlaybackVornObject::m_cameraName, "camera/name", "", VornValue::String},
    {&PlaybackVornObject::m_cameraSerial, "camera/serial", "", VornValue::String},
    {&PlaybackVornObject::m_cameraModel, "camera/model", "", VornValue::String},
    {&PlaybackVornObject::m_cameraModelId, "camera/model_id", "", VornValue::Int},
    {&PlaybackVornObject::m_cfa, "camera/cfa", "", VornValue::Int},
    {&PlaybackVornObject::m_fwVer, "camera/fw_ver", "", VornValue::String},
    {&PlaybackVornObject::m_metaSize, "meta/size", "meta_size", VornValue::Int},
    {&PlaybackVornObject::m_yearOffset, "meta/year_offset", "time/year_offset", VornValue::Int},
    {&PlaybackVornObject::m_lensMount, "lens/mount", "", VornValue::String},
    {&PlaybackVornObject::m_lensId, "lens/id", "", VornValue::Int},
    {&PlaybackVornObject::m_lensName, "lens/name", "", VornValue::String},
    {&PlaybackVornObject::m_lensAFSwitch, "lens/af_switch", "", VornValue::Int},
    {&PlaybackVornObject::m_lensFocalLenMin, "lens/focal_len_min", "", VornValue::Int},
    {&PlaybackVornObject::m_lensFocalLenMax, "lens/focal_len_max", "", VornValue::Int},
    {&PlaybackVornObject::m_lensFocalLen, "lens/focal_len", "", VornValue::Int},
    {&PlaybackVornObject::m_lensFstopMin, "lens/fstop_min", "", VornValue::Double},
    {&PlaybackVornObject::m_lensFstopMax, "lens/fstop_max", "", VornValue::Double},
    {&PlaybackVornObject::m_lensFstop, "lens/fstop", "", VornValue::Double},
    {&PlaybackVornObject::m_lensFocusDist, "lens/focus_dist", "", VornValue::Double},
};

namespace {

QStringList keyPath(const char* text)
{
    return QString::fromLatin1(text).split(QLatin1Char('/'));
}

} // namespace

PlaybackVornObject::PlaybackVornObject(Type type, QObject* parent, const QString& nameSuffix,
                                       const ValueFactory& makeValue)
    : VornObject(type, parent, nameSuffix), m_tickTimer(new QTimer(this)), m_advanceTimer(new QTimer(this)),
      m_clock(std::make_unique<ElapsedPlaybackClock>())
{
    for (const ValueSpec& entry : s_valueSpecs) {
        VornValue* value = makeValue(keyPath(entry.key), entry.type, keyPath(entry.altKey));
        this->*entry.member = value;
        appendValue(value);
    }

    // The tick runs at half the frame period while the object is selected:
    // only the selected object advances, and time spent unselected does not
    // count (the clock is re-based when it is selected again).
    m_tickTimer->setTimerType(Qt::PreciseTimer);
    connect(m_tickTimer, &QTimer::timeout, this, &PlaybackVornObject::incrementFrame);
    updateTimer();
    connect(this, &VornObject::selectedChanged, this, [this] {
        if (selected()) {
            rebase(m_fr);
            m_tickTimer->start();
        } else {
            m_tickTimer->stop();
        }
    });
    // The step after a shown frame waits until the events due before it
    // (input, painting, timers) have been handled.
    m_advanceTimer->setSingleShot(true);
    m_advanceTimer->setTimerType(Qt::PreciseTimer);
    connect(m_advanceTimer, &QTimer::timeout, this, &PlaybackVornObject::advance);
    connect(this, &PlaybackVornObject::frChanged, this, &PlaybackVornObject::requestFrame);
    m_imgSearch = new ImgSearch(this);
}

void PlaybackVornObject::setClock(std::unique_ptr<PlaybackClock> clock)
{
    m_clock = std::move(clock);
    m_clock->restart();
}

void PlaybackVornObject::rebase(qint64 base)
{
    m_clock->restart();
    m_base = base;
}

void PlaybackVornObject::updateTimer()
{
    // Timers count whole milliseconds; a zero interval would spin.
    m_tickTimer->setInterval(qMax<qint64>(1, m_framePeriodNs / 2 / 1000000));
}

void PlaybackVornObject::setFr(qint64 fr, bool force)
{
    if (fr == m_fr && !force)
        return;
    if (fr < firstFrame() || fr < m_aFr)
        fr = m_aFr;
    else if (fr > lastFrame() || fr > m_bFr)
        fr = m_bFr;
    m_fr = fr;
    if (m_state != Paused)
        rebase(m_fr);
    emit frChanged();
}

void PlaybackVornObject::setAFr(qint64 aFr, bool force)
{
    if (!force) {
        if (aFr < firstFrame())
            aFr = firstFrame();
        else if (aFr > lastFrame() || aFr > m_bFr)
            aFr = m_bFr;
    }
    m_aFr = aFr;
    emit aFrChanged();
}

void PlaybackVornObject::setBFr(qint64 bFr, bool force)
{
    if (!force) {
        if (bFr < firstFrame() || bFr < m_aFr)
            bFr = m_aFr;
        else if (bFr > lastFrame())
            bFr = lastFrame();
    }
    m_bFr = bFr;
    emit bFrChanged();
}

void PlaybackVornObject::setPlayStep(int step)
{
    step = qBound(1, step, 10000000);
    if (step == m_playStep)
        return;
    m_playStep = step;
    if (m_state != Paused)
        rebase(m_fr + qint64(m_playStep) * m_speed);
    emit playStepChanged();
}

void PlaybackVornObject::setPlayFrRate(double rate)
{
    rate = qBound(0.1, rate, 1e7);
    qint64 period;
    if (fuzzyEqual(rate, 59.94))
        period = 16683333;
    else if (fuzzyEqual(rate, 29.97))
        period = 33366666;
    else if (fuzzyEqual(rate, 23.98) || fuzzyEqual(rate, 23.976))
        period = 41708333;
    else
        period = qint64(1e9 / rate);
    if (period == m_framePeriodNs)
        return;
    m_framePeriodNs = period;
    updateTimer();
    if (m_state != Paused)
        rebase(m_fr + qint64(m_playStep) * m_speed);
    emit playFrRateChanged();
}

void PlaybackVornObject::setRepeatMode(RepeatMode mode)
{
    if (mode == m_repeatMode)
        return;
    m_repeatMode = mode;
    emit repeatModeChanged();
}

void PlaybackVornObject::setValuesInit(bool init)
{
    if (init == m_valuesInit)
        return;
    m_valuesInit = init;
    emit valuesInitChanged();
    if (init)
        emit valuesInitFinished();
}

void PlaybackVornObject::refreshFrame()
{
    if (m_state == Paused)
        setFr(m_fr, true);
}

int PlaybackVornObject::fetchFrame(RawFrame* frame)
{
    return getFrame(frame, m_fr);
}

int PlaybackVornObject::requestFrame()
{
    // Started first: a file delivers the frame within this call.
    const QElapsedTimer previous = m_sinceRequest;
    m_sinceRequest.start();
    const int result = VornObject::requestFrame();
    if (result == 0)
        m_lastRequestedFr = m_fr;
    else
        m_sinceRequest = previous;
    return result;
}

int PlaybackVornObject::displayIntervalMs()
{
    const auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    const QScreen* screen = gui ? QGuiApplication::primaryScreen() : nullptr;
    const double rate = screen && screen->refreshRate() >= 1.0 ? screen->refreshRate() : 60.0;
    // Under the interval by a fifth, so that timer jitter and painting on
    // this thread never leave a picture of the screen without a new frame.
    return int(800.0 / rate);
}

void PlaybackVornObject::frameReady()
{
    VornObject::frameReady();
    // While playing, the next frame is due as soon as this one is shown: do
    // not leave the link idle until the next tick. It is asked for from the
    // event loop, never from here: a file delivers its frames at once, so
    // advancing here would nest every following frame on this call, and
    // timers, input and painting would wait for as long as frames take longer
    // than a period. Nor sooner than the screen shows a new picture: a frame
    // made faster would never be seen, so the clock skips it instead and the
    // time goes to the window.
    if (m_state != Paused && selected() && !m_advanceTimer->isActive()) {
        const qint64 elapsedMs = m_sinceRequest.isValid() ? m_sinceRequest.elapsed() : 0;
        m_advanceTimer->start(int(qBound(qint64(0), displayIntervalMs() - elapsedMs, qint64(1000))));
    }
}

void PlaybackVornObject::advance()
{
    if (m_state != Paused)
        incrementFrame();
}

void PlaybackVornObject::setPlayback(State state, int speed)
{
    m_speed = speed;
    if (state != Paused)
        rebase(m_fr);
    if (state != m_state) {
        m_state = state;
        emit stateChanged();
    }
}

void PlaybackVornObject::pause()
{
    setPlayback(Paused, 0);
}

void PlaybackVornObject::play()
{
    setPlayback(Play, 1);
}

void PlaybackVornObject::playRev()
{
    setPlayback(PlayRev, -1);
}

void PlaybackVornObject::playFastFwd()
{
    setPlayback(PlayFastFwd, 10);
}

void PlaybackVornObject::playFastRev()
{
    setPlayback(PlayFastRev, -10);
}

void PlaybackVornObject::stepFrFwd()
{
    setFr(m_fr == m_bFr ? m_aFr : m_fr + 1, true);
}

void PlaybackVornObject::stepFrRev()
{
    setFr(m_fr == m_aFr ? m_bFr : m_fr - 1, true);
}

void PlaybackVornObject::incrementFrame()
{
    if (m_state == Paused && m_fr != m_lastRequestedFr) {
        setFr(m_fr, true); // the fetch of this frame was dropped: try again
        return;
    }
    if (m_advanceTimer->isActive())
        return; // the queued advance moves the position, from the clock too
    const qint64 lo = qMax(firstFrame(), m_aFr);
    const qint64 hi = qMin(lastFrame(), m_bFr);
    if (!selected() || frameBusy() || m_state == Paused || lo > hi) {
        rebase(m_fr);
        return;
    }
    const PlaybackPositions::Move move =
        PlaybackPositions::advance(m_base, m_clock->nsecsElapsed() / m_framePeriodNs,
                                   qint64(m_playStep) * m_speed, lo, hi, m_repeatMode == RepeatPingPong);
    if (move.turned) {
        m_speed = -m_speed;
        m_state = State(m_state ^ RevBit);
        emit stateChanged();
    }
    if (move.outside)
        rebase(move.pos);
    if (move.pos != m_fr) {
        m_fr = move.pos;
        emit frChanged();
    }
}
