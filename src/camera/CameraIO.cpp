#include "CameraIO.h"

#include "Camera.h"

#include <QDebug>

namespace {

using SignalRow = CameraIO::SignalRow;
using ModeRow = CameraIO::ModeRow;
using PolarityRow = CameraIO::PolarityRow;

// Signals of a general-purpose line, by code: name, allowed modes, polarity
// mask, polarity kind, adjustments, counts in the camera clock.
const QMap<QString, SignalRow>& userSignals()
{
    static const QMap<QString, SignalRow> table{
        {QString(), {QStringLiteral("Disabled"), 0, 0, CameraIO::PolarityNone, 0, true}},
        {QStringLiteral("trig"), {QStringLiteral("Trigger"), 31, 3, CameraIO::PolarityEdge, 15, false}},
        {QStringLiteral("ready"), {QStringLiteral("Ready"), 12, 1, CameraIO::PolarityLevel, 14, false}},
        {QStringLiteral("rec"), {QStringLiteral("Record"), 12, 1, CameraIO::PolarityLevel, 14, false}},
        {QStringLiteral("irig"), {QStringLiteral("IRIG"), 5, 0, CameraIO::PolarityNone, 0, false}},
        {QStringLiteral("event1"), {QStringLiteral("Event 1"), 31, 1, CameraIO::PolarityLevel, 15, false}},
        {QStringLiteral("event2"), {QStringLiteral("Event 2"), 31, 1, CameraIO::PolarityLevel, 15, false}},
        {QStringLiteral("fsync"), {QStringLiteral("Frame Sync"), 5, 3, CameraIO::PolarityEdge, 15, true}},
        {QStringLiteral("shtr"), {QStringLiteral("Shutter"), 4, 1, CameraIO::PolarityLevel, 14, true}},
    };
    return table;
}

// The trigger input carries the trigger or nothing, and never drives an
// output (no mode 4).
const QMap<QString, SignalRow>& trigSignals()
{
    static const QMap<QString, SignalRow> table{
        {QString(), {QStringLiteral("Disabled"), 0, 0, CameraIO::PolarityNone, 0, false}},
        {QStringLiteral("trig"), {QStringLiteral("Enabled"), 27, 3, CameraIO::PolarityEdge, 15, false}},
    };
    return table;
}

// Modes by code (each a single bit of a signal's mode mask): name, input,
// adjustments.
const QMap<int, ModeRow>& modes()
{
    static const QMap<int, ModeRow> table{
        {0, {QStringLiteral("Disabled"), false, 0}},
        {1, {QStringLiteral("Input"), true, 15}},
        {2, {QStringLiteral("Input w/ Pull-up"), true, 15}},
        {4, {QStringLiteral("Output"), false, 14}},
        {8, {QStringLiteral("OD Output"), false, 14}},
        {16, {QStringLiteral("OD Bidirectional"), true, 13}},
    };
    return table;
}

// Polarities by code: the name for level signals and for edge signals. The
// trailing-edge polarities exist for edges only.
const QMap<int, PolarityRow>& polarities()
{
    static const QMap<int, PolarityRow> table{
        {0, {QStringLiteral("Active High"), QStringLiteral("Rising Edge")}},
        {1, {QStringLiteral("Active Low"), QStringLiteral("Falling Edge")}},
        {2, {QString(), QStringLiteral("Falling (Trailing)")}},
        {3, {QString(), QStringLiteral("Rising (Trailing)")}},
    };
    return table;
}

const int modeCodes[] = {1, 2, 4, 8, 16};
const int modeInput = 1;

// Position of a name in a list; an empty name (the row of an unknown code)
// is never listed.
int positionOf(const QStringListModel* list, const QString& name)
{
    return name.isEmpty() ? -1 : int(list->stringList().indexOf(name));
}

// The name at a position of a list, or an empty name outside it.
QString nameAt(const QStringListModel* list, int index)
{
    const QStringList names = list->stringList();
    return index >= 0 && index < names.size() ? names.at(index) : QString();
}

} // namespace

CameraIO::CameraIO(const QString& name, const QString& token, Camera* camera, Type type)
    : QObject(camera), m_name(name), m_token(token), m_camera(camera), m_type(type),
      m_signalTable(type == Trig ? &trigSignals() : &userSignals())
{
    // Log lines of a line begin with its camera's name.
    setObjectName((camera ? camera->objectName() : QString()) + QLatin1Char('/') + token);
    m_signal = createValue("signal", VornValue::String);
    m_mode = createValue("mode", VornValue::Int);
    m_polarity = createValue("polarity", VornValue::Int);
    m_filter = createValue("filter", VornValue::Int);
    m_delay = createValue("delay", VornValue::Int);
    m_min = createValue("min", VornValue::Int);
    m_max = createValue("max", VornValue::Int);
    connect(m_signal, &VornValue::valueChanged, this, &CameraIO::updateSignalIndex);
    connect(m_mode, &VornValue::valueChanged, this, &CameraIO::updateModeIndex);
    connect(m_polarity, &VornValue::valueChanged, this, &CameraIO::updatePolarityIndex);
    // Lines timed by the camera clock follow it when it changes.
    if (camera)
        connect(camera->clkFreq(), &VornValue::valueChanged, this, &CameraIO::updateClkFreq);

    m_signalList = new QStringListModel(this);
    m_modeList = new QStringListModel(this);
    m_polarityList = new QStringListModel(this);
}

QList<CameraIO*> CameraIO::createLines(Camera* camera)
{
    QList<CameraIO*> lines{
        new CameraIO(QStringLiteral("Trigger I/O"), QStringLiteral("trigger"), camera, Trig)};
    for (int i = 1; i <= 6; ++i)
        lines << new CameraIO(QStringLiteral("I/O %1").arg(i), QStringLiteral("io%1").arg(i), camera, User);
    return lines;
}

CameraValue* CameraIO::createValue(const char* key, VornValue::Type type)
{
    // A camera value sends itself to its parent camera.
    auto* value = new CameraValue({QStringLiteral("io"), m_token, QString::fromLatin1(key)}, type, m_camera);
    if (m_camera)
        m_camera->appendValue(value);
    return value;
}

CameraIO::ModeRow CameraIO::modeRow(int code)
{
    return modes().value(code);
}

CameraIO::PolarityRow CameraIO::polarityRow(int code)
{
    return polarities().value(code);
}

void CameraIO::update()
{
    QStringList names;
    for (const SignalRow& row : *m_signalTable)
        names << row.name;
    m_signalList->setStringList(names);
    updateSignalIndex();
    buildModeList();
    buildPolarityList();
}

void CameraIO::updateSignalIndex()
{
    m_signalIndex = positionOf(m_signalList, currentSignalRow().name);
    emit signalIndexChanged();
    buildModeList();
    buildPolarityList();
    updateClkFreq();
}

void CameraIO::updateClkFreq()
{
    uint freq = IoClockHz;
    if (currentSignalRow().cameraClock && m_camera) {
        // A camera that reports no clock yet must not leave the pane
        // converting with 0 Hz.
        const int cameraFreq = m_camera->clkFreq()->value().toInt();
        if (cameraFreq > 0)
            freq = uint(cameraFreq);
    }
    if (freq == m_clkFreq)
        return;
    m_clkFreq = freq;
    emit clkFreqChanged();
}

void CameraIO::buildModeList()
{
    const int allowed = currentSignalRow().modes;
    QStringList names{modeRow(0).name};
    for (const int code : modeCodes) {
        if (allowed & code)
            names << modeRow(code).name;
    }
    m_modeList->setStringList(names);
    updateModeIndex();
}

void CameraIO::updateModeIndex()
{
    m_modeIndex = positionOf(m_modeList, modeRow(m_mode->value().toInt()).name);
    emit modeIndexChanged();
    updateManipEns();
    buildPolarityList();
}

void CameraIO::buildPolarityList()
{
    const SignalRow row = currentSignalRow();
    QStringList names;
    if (row.polarityKind == PolarityLevel) {
        names << polarityRow(0).levelName;
        if (row.polarityMask & 1)
            names << polarityRow(1).levelName;
    } else if (row.polarityKind == PolarityEdge) {
        names << polarityRow(0).edgeName;
        if (row.polarityMask & 1)
            names << polarityRow(1).edgeName;
        // Trailing edges are told apart on a plain input only.
        if (m_mode->value().toInt() == modeInput) {
            if (row.polarityMask & 2)
                names << polarityRow(2).edgeName;
            if (row.polarityMask == 3)
                names << polarityRow(3).edgeName;
        }
    }
    m_polarityList->setStringList(names);
    updatePolarityIndex();
}

void CameraIO::updatePolarityIndex()
{
    const int kind = currentSignalRow().polarityKind;
    const PolarityRow row = polarityRow(m_polarity->value().toInt());
    if (kind == PolarityLevel)
        m_polarityIndex = positionOf(m_polarityList, row.levelName);
    else if (kind == PolarityEdge)
        m_polarityIndex = positionOf(m_polarityList, row.edgeName);
    else
        m_polarityIndex = 0;
    emit polarityIndexChanged();
}

void CameraIO::updateManipEns()
{
    const int both = currentSignalRow().manips & modeRow(m_mode->value().toInt()).manips;
    m_filterEn = both & ManipFilter;
    m_delayEn = both & ManipDelay;
    m_minEn = both & ManipMin;
    m_maxEn = both & ManipMax;
    emit manipEnsChanged();
}

void CameraIO::setSignalByIndex(int index)
{
    const QString name = nameAt(m_signalList, index);
    if (name.isEmpty()) {
        qDebug() << objectName() << Q_FUNC_INFO << "no signal at" << index;
        return;
    }
    for (auto it = m_signalTable->cbegin(); it != m_signalTable->cend(); ++it) {
        if (it->name == name) {
            m_signal->setValue(it.key());
            return;
        }
    }
}

void CameraIO::setModeByIndex(int index)
{
    const QString name = nameAt(m_modeList, index);
    if (name.isEmpty()) {
        qDebug() << objectName() << Q_FUNC_INFO << "no mode at" << index;
        return;
    }
    for (auto it = modes().cbegin(); it != modes().cend(); ++it) {
        if (it->name == name) {
            m_mode->setValue(it.key());
            return;
        }
    }
}

void CameraIO::setPolarityByIndex(int index)
{
    // Outside the list there is no choice: writing polarity 0 here would
    // silently flip the line's edge or level.
    const QString name = nameAt(m_polarityList, index);
    if (name.isEmpty()) {
        qDebug() << objectName() << Q_FUNC_INFO << "no polarity at" << index;
        return;
    }
    for (auto it = polarities().cbegin(); it != polarities().cend(); ++it) {
        if (it->levelName == name || it->edgeName == name)
            m_polarity->setValue(it.key());
    }
}
