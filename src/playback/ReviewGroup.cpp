#include "ReviewGroup.h"

#include "AbstractTake.h"
#include "SaveBatchObject.h"
#include "VornApp.h"
#include "VornFile.h"

#include <QTimer>
#include <limits>

using ReviewTimeline::Track;

ReviewGroup::ReviewGroup(const QList<PlaybackVornObject*>& sources, QObject* parent)
    : PlaybackVornObject(CameraGroupType, parent, QStringLiteral("-Review"),
                         [this](const QStringList& key, int type, const QStringList& altKey) {
                             return new VornValue(key, type, this, nullptr, altKey);
                         }),
      m_members(new QQmlObjectListModel<ReviewMember>(this)), m_rebuildTimer(new QTimer(this))
{
    // The fetch cycle runs on the group's own (empty) frame: it marks each
    // position as asked for, so that the paused engine does not ask again.
    setImageModel(new ImgAdjModel(this));
    // Values of a member arrive one by one: the axis is worked out once
    // they are all in.
    m_rebuildTimer->setSingleShot(true);
    m_rebuildTimer->setInterval(0);
    connect(m_rebuildTimer, &QTimer::timeout, this, &ReviewGroup::rebuild);
    connect(this, &PlaybackVornObject::frChanged, this, [this] {
        syncFrames();
        emit clockTextChanged();
    });
    connect(this, &PlaybackVornObject::aFrChanged, this, &ReviewGroup::syncWindows);
    connect(this, &PlaybackVornObject::bFrChanged, this, &ReviewGroup::syncWindows);
    connect(this, &VornObject::selectedChanged, this, [this] { selectMembers(selected()); });
    cameraNameValue()->setRemoteValue(QStringLiteral("Review"));

    for (PlaybackVornObject* source : sources) {
        if (source && !qobject_cast<ReviewGroup*>(source) && m_members->count() < MaxMembers) {
            bool listed = false;
            for (const ReviewMember* member : *m_members)
                listed = listed || member->source() == source;
            if (!listed)
                addMember(source);
        }
    }
    m_searchMember = m_members->isEmpty() ? nullptr : m_members->at(0);
    rebuild();
}

ReviewGroup::~ReviewGroup()
{
    if (selected())
        selectMembers(false);
}

void ReviewGroup::addMember(PlaybackVornObject* source)
{
    auto* member = new ReviewMember(source, nullptr); // the list owns it
    source->pause();
    const auto remove = [this, member] {
        removeMember(member);
    };
    connect(source, &QObject::destroyed, member, remove);
    if (auto* take = qobject_cast<AbstractTake*>(source))
        connect(take, &AbstractTake::deletedClosed, member, remove);
    if (auto* file = qobject_cast<VornFile*>(source))
        connect(file, &VornFile::closed, member, remove);
    const auto later = [this] {
        m_rebuildTimer->start();
    };
    for (VornValue* value :
         {source->firstFrValue(), source->lastFrValue(), source->trigTsSValue(), source->trigTsNsValue(),
          source->frClksValue(), source->clkFreqValue(), source->frRateValue()})
        connect(value, &VornValue::valueChanged, member, later);
    connect(source, &PlaybackVornObject::valuesInitChanged, member, later);
    connect(source, &PlaybackVornObject::frChanged, member, [this, member] { followMember(member); });
    // A search moves the member, not the clock: the clock stops meanwhile.
    connect(source->imgSearch(), &ImgSearch::stateChanged, member, [this, source] {
        if (source->imgSearch()->state() == ImgSearch::Searching)
            pause();
    });
    m_members->append(member);
}

void ReviewGroup::removeMember(ReviewMember* member)
{
    if (!m_members->contains(member))
        return;
    if (PlaybackVornObject* source = member->source(); source && selected())
        source->setSelected(false);
    m_members->remove(member);
    if (m_searchMember == member || !m_searchMember) {
        m_searchMember = m_members->isEmpty() ? nullptr : m_members->at(0);
        emit searchMemberChanged();
    }
    emit memberCountChanged();
    if (m_members->isEmpty())
        close();
    else
        m_rebuildTimer->start();
}

void ReviewGroup::setSearchMember(ReviewMember* member)
{
    if (member == m_searchMember || !m_members->contains(member))
        return;
    m_searchMember = member;
    emit searchMemberChanged();
}

ImgSearch* ReviewGroup::memberSearch() const
{
    return m_searchMember && m_searchMember->source() ? m_searchMember->source()->imgSearch() : nullptr;
}

Track ReviewGroup::trackOf(const PlaybackVornObject* source)
{
    const auto number = [](const VornValue* value) {
        return value->value().toLongLong();
    };
    return Track::fromValues(source->firstFrame(), source->lastFrame(), number(source->trigTsSValue()),
                             number(source->trigTsNsValue()), number(source->frClksValue()),
                             number(source->clkFreqValue()), source->frRateValue()->value().toDouble());
}

void ReviewGroup::rebuild()
{
    const PlaybackVornObject* axisSource = nullptr;
    Track axis;
    for (const ReviewMember* member : *m_members) {
        const PlaybackVornObject* source = member->source();
        if (!source || !source->valuesInit())
            continue;
        const Track track = trackOf(source);
        if (!axisSource || ReviewTimeline::faster(track, axis)) {
            axis = track;
            axisSource = source;
        }
    }
    if (!axisSource) {
        m_hasAxis = false;
        setValuesInit(false);
        return;
    }
    qint64 first = std::numeric_limits<qint64>::max();
    qint64 last = std::numeric_limits<qint64>::min();
    for (const ReviewMember* member : *m_members) {
        const PlaybackVornObject* source = member->source();
        if (!source || !source->valuesInit())
            continue;
        const Track track = trackOf(source);
        first = qMin(first, ReviewTimeline::axisFrame(axis, track, track.firstFr));
        last = qMax(last, ReviewTimeline::axisFrame(axis, track, track.lastFr));
    }

    // The same axis keeps the window and the position (a window over all
    // frames grows with them); a new one starts over at the trigger.
    const bool sameAxis = m_hasAxis && valuesInit() && axis.frame0Ns == m_axis.frame0Ns &&
                          axis.periodNum == m_axis.periodNum && axis.periodDen == m_axis.periodDen;
    const bool wholeRange = aFr() <= firstFrame() && bFr() >= lastFrame();
    qint64 a = first;
    qint64 b = last;
    qint64 position = 0;
    if (sameAxis && !wholeRange) {
        a = qBound(first, aFr(), last);
        b = qBound(a, bFr(), last);
    }
    if (sameAxis)
        position = fr();
    position = qBound(a, position, b);
    const bool rangeChanged = !valuesInit() || first != firstFrame() || last != lastFrame();

    m_axis = axis;
    m_hasAxis = true;
    m_syncing = true; // one pass over the members once everything is set
    firstFrValue()->setRemoteValue(first);
    lastFrValue()->setRemoteValue(last);
    frCntValue()->setRemoteValue(qint64(qMin<quint64>(quint64(last) - quint64(first), quint64(1) << 62)) + 1);
    // The trigger and the rate are those of the recording the axis steps through.
    const std::pair<VornValue*, const VornValue*> axisValues[] = {
        {trigTsSValue(), axisSource->trigTsSValue()}, {trigTsNsValue(), axisSource->trigTsNsValue()},
        {frClksValue(), axisSource->frClksValue()},   {clkFreqValue(), axisSource->clkFreqValue()},
        {frRateValue(), axisSource->frRateValue()},
    };
    for (const auto& [value, from] : axisValues)
        value->setRemoteValue(from->value());
    // The scrubber takes a new range when the values are loaded afresh.
    if (rangeChanged)
        setValuesInit(false);
    setAFr(a, true);
    setBFr(b, true);
    setFr(position, true);
    m_syncing = false;
    setValuesInit(true);
    syncWindows();
    emit clockTextChanged();
}

void ReviewGroup::syncWindows()
{
    if (m_syncing || !m_hasAxis || !valuesInit())
        return;
    for (ReviewMember* member : *m_members) {
        PlaybackVornObject* source = member->source();
        if (!source || !source->valuesInit())
            continue;
        const Track track = trackOf(source);
        qint64 first = 0;
        qint64 last = 0;
        const bool hasFrames = ReviewTimeline::framesWithin(m_axis, track, aFr(), bFr(), &first, &last);
        member->setWindow(hasFrames, first, last);
        if (!hasFrames)
            first = last = ReviewTimeline::nearestFrame(m_axis, track, aFr()).fr;
        source->setAFr(first, true);
        source->setBFr(last, true);
    }
    // A window moved past the position takes the position with it.
    if (fr() < aFr() || fr() > bFr())
        setFr(fr(), true);
    else
        syncFrames();
}

void ReviewGroup::syncFrames()
{
    if (m_syncing || !m_hasAxis || !valuesInit())
        return;
    m_syncing = true;
    for (ReviewMember* member : *m_members) {
        PlaybackVornObject* source = member->source();
        if (!source || !source->valuesInit())
            continue;
        const ReviewTimeline::Nearest nearest = ReviewTimeline::nearestFrame(m_axis, trackOf(source), fr());
        member->setRangePosition(nearest.side == ReviewTimeline::Side::Before  ? ReviewMember::BeforeStart
                                 : nearest.side == ReviewTimeline::Side::After ? ReviewMember::AfterEnd
                                                                               : ReviewMember::InRange);
        source->setFr(nearest.fr, false);
        member->setAssignedFr(source->fr());
    }
    m_syncing = false;
}

void ReviewGroup::followMember(ReviewMember* member)
{
    PlaybackVornObject* source = member->source();
    if (m_syncing || !selected() || !m_hasAxis || !source || source->fr() == member->assignedFr())
        return;
    member->setAssignedFr(source->fr());
    setFr(ReviewTimeline::axisFrame(m_axis, trackOf(source), source->fr()), false);
}

void ReviewGroup::selectMembers(bool selected)
{
    for (ReviewMember* member : *m_members) {
        if (PlaybackVornObject* source = member->source()) {
            if (selected)
                source->pause();
            source->setSelected(selected);
        }
    }
    if (selected)
        syncFrames();
}

QString ReviewGroup::clockText() const
{
    if (!m_hasAxis || !valuesInit())
        return QString();
    const qint64 ns = ReviewTimeline::axisTimeNs(m_axis, fr());
    const quint64 magnitude = ns < 0 ? 0 - quint64(ns) : quint64(ns);
    return QStringLiteral("%1%2.%3 ms")
        .arg(ns < 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(magnitude / 1000000)
        .arg(magnitude % 1000000, 6, 10, QLatin1Char('0'));
}

int ReviewGroup::saveSourceType() const
{
    for (const ReviewMember* member : *m_members) {
        if (member->source() && member->source()->type() == SsdTakeType)
            return SsdTakeType;
    }
    return VornFileType;
}

int ReviewGroup::getFrame(RawFrame*, qint64)
{
    return -1;
}

int ReviewGroup::addToSaveBatch()
{
    VornApp* app = VornApp::instance();
    if (!app)
        return 0;
    app->clearSaveBatchObjModel(false);
    for (const ReviewMember* member : *m_members) {
        if (!member->source() || !member->hasWindowFrames())
            continue;
        auto* row = new SaveBatchObject(member->source(), app);
        row->setAFr(member->windowFirstFr());
        row->setBFr(member->windowLastFr());
        app->saveBatchObjModel()->append(row);
    }
    return app->saveBatchObjModel()->count();
}

void ReviewGroup::close()
{
    emit shouldBeUnselected();
    emit closed(this);
}
