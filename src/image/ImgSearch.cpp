#include "ImgSearch.h"

#include "FuzzyCompare.h"
#include "ImgAdjModel.h"
#include "ImgAdjUtil.h"
#include "ImgSearchWorker.h"
#include "PlaybackVornObject.h"
#include "RawFrame.h"
#include "VornApp.h"

#include <QCoreApplication>
#include <QtMath>
#include <limits>

ImgSearch::ImgSearch(PlaybackVornObject* owner) : QObject(owner), m_owner(owner)
{
    m_thread.setObjectName(QStringLiteral("ImgSearch Thread"));
    // Moving the position by hand (or the found step's own write) ends a
    // search, and so does shutting the application down.
    // Moving the position cancels a search. The owner also re-emits
    // frChanged() for the same frame (a refresh after an adjustment, the
    // paused retry of a dropped fetch); those leave the search running, as
    // adjustments must not affect it.
    connect(owner, &PlaybackVornObject::frChanged, this, [this] {
        if (m_owner->fr() != m_ownerFr)
            cancel();
    });
    if (QCoreApplication* app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &ImgSearch::cancel);
}

ImgSearch::~ImgSearch()
{
    // The worker must not outlive its thread's event loop; the thread object
    // must not be destroyed while it runs.
    m_thread.quit();
    m_thread.wait();
}

void ImgSearch::setRefFrame(RefFrame refFrame)
{
    if (refFrame == m_refFrame)
        return;
    m_refFrame = refFrame;
    emit refFrameChanged();
}

void ImgSearch::setStep(qint64 step)
{
    if (step == m_step)
        return;
    m_step = step;
    emit stepChanged();
}

void ImgSearch::setThreshold(double threshold)
{
    if (fuzzyEqual(threshold, m_threshold))
        return;
    m_threshold = qBound(minThreshold, threshold, maxThreshold);
    emit thresholdChanged();
}

void ImgSearch::setSearchFr(qint64 fr)
{
    if (fr == m_fr)
        return;
    m_fr = fr;
    emit frChanged();
}

void ImgSearch::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged();
}

void ImgSearch::start(bool forward)
{
    // The worker's own copy: adjustments made during the search do not
    // affect it.
    const ImgAdjModel* model = m_owner->imgAdjModel();
    const ImgAdjBlock block = model ? model->block() : ImgAdjBlock();
    const int searchLevel = level();

    if (m_state == Searching)
        stop();
    m_owner->pause();

    m_stepInUse = m_step;
    m_ownerFr = m_owner->fr();
    setSearchFr(m_ownerFr);
    m_forward = forward;
    ++m_generation;
    setState(Searching);
    if (m_state != Searching)
        return; // cancelled from a handler of stateChanged()

    const VornApp* app = VornApp::instance();
    m_worker = new ImgSearchWorker(searchLevel, m_refFrame, block, app ? app->imgAdjUtil() : nullptr);
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    // Signals of a stopped search may still wait in this thread's queue when
    // the next search starts; the generation tells them apart.
    const quint64 generation = m_generation;
    connect(
        m_worker, &ImgSearchWorker::compareReady, this,
        [this, generation] {
            if (generation == m_generation)
                nextFrame();
        },
        Qt::QueuedConnection);
    connect(
        m_worker, &ImgSearchWorker::found, this,
        [this, generation] {
            if (generation == m_generation)
                foundFrame();
        },
        Qt::QueuedConnection);
    m_thread.setObjectName(QStringLiteral("ImgSearch Thread"));
    m_thread.start();

    fetch(&ImgSearchWorker::init);
}

void ImgSearch::cancel()
{
    if (m_state == Searching)
        stop();
}

void ImgSearch::fetch(void (ImgSearchWorker::*slot)())
{
    // The owner's rules hold for the search's fetches too: a take whose
    // camera is saving, a closed file, gives none.
    if (m_owner->frameBusy()) {
        fetchFailed();
        return;
    }
    auto* frame = new RawFrame(this);
    m_rawFrame = frame;
    // Completion is handed to the worker's thread; the frame is not touched
    // here again until the worker has scheduled its deletion.
    connect(frame, &RawFrame::initFinished, m_worker, slot, Qt::QueuedConnection);
    connect(frame, &RawFrame::initError, this, &ImgSearch::fetchFailed);
    if (m_owner->getFrame(frame, m_fr) < 0)
        fetchFailed();
}

void ImgSearch::nextFrame()
{
    if (m_state != Searching)
        return;
    qint64 fr;
    const bool overflow = m_forward ? __builtin_add_overflow(m_fr, m_stepInUse, &fr)
                                    : __builtin_sub_overflow(m_fr, m_stepInUse, &fr);
    if (overflow)
        fr = (m_forward == (m_stepInUse > 0)) ? std::numeric_limits<qint64>::max()
                                              : std::numeric_limits<qint64>::min();
    setSearchFr(fr);

    qint64 clamped = fr;
    if (clamped < m_owner->aFr())
        clamped = m_owner->aFr();
    else if (clamped > m_owner->bFr())
        clamped = m_owner->bFr();
    if (clamped != fr) {
        // Past the in/out range: the search ends on its boundary.
        setSearchFr(clamped);
        foundFrame();
        return;
    }
    fetch(&ImgSearchWorker::compare);
}

void ImgSearch::foundFrame()
{
    if (m_state != Searching)
        return;
    // A normal write: clamped to the range, fetched for display, and its
    // frChanged() cancels the search already.
    m_owner->setFr(m_fr, false);
    stop();
}

void ImgSearch::fetchFailed()
{
    if (m_state != Searching)
        return;
    // Silent: the owner's position stays where it was.
    stop();
}

void ImgSearch::stop()
{
    ++m_generation;
    setState(Idle);
    m_thread.quit();
    m_thread.wait();
    // The thread's end deleted the worker.
    m_worker = nullptr;
    // Nothing reads the frame of the stopped search any more: a fetch still
    // in transfer loses its handler, a delivered one is simply released.
    if (m_rawFrame) {
        m_rawFrame->disconnect();
        m_rawFrame->deleteLater();
        m_rawFrame = nullptr;
    }
}
