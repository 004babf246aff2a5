#include "SsdDrive.h"

#include <algorithm>

namespace q7sim {

namespace {

// A file starts with a header that describes the take, then the frame records.
const int64_t FileHeaderBytes = 4096;
// Files a camera keeps open as SSD takes at once.
const int MaxOpenTakes = 16;

QString hex(uint64_t value)
{
    return QString::number(value, 16);
}

} // namespace

SsdDrive::SsdDrive(uint64_t capacity, const Timing& timing, bool oldFirmware)
    : m_capacity(capacity), m_timing(timing), m_oldFirmware(oldFirmware)
{
}

void SsdDrive::enter(State state, Clock::time_point at)
{
    m_state = state;
    m_stateSince = at;
}

void SsdDrive::advance(Clock::time_point now, std::vector<SsdSave>* ended)
{
    const auto step = std::chrono::milliseconds(m_timing.stepMs);
    for (bool moved = true; moved;) {
        moved = false;
        const Clock::time_point stepEnd = m_stateSince + step;
        const Clock::time_point formatEnd = m_stateSince + std::chrono::milliseconds(m_timing.formatMs);
        switch (m_state) {
        case Insert:
            moved = now >= stepEnd;
            if (moved)
                enter(Enable, stepEnd);
            break;
        case Enable:
            moved = now >= stepEnd;
            if (moved)
                enter(m_formatted ? Ready : Unformatted, stepEnd);
            break;
        case Shutdown:
            moved = now >= stepEnd;
            if (moved)
                enter(PowerDown, stepEnd);
            break;
        case PowerDown:
            moved = now >= stepEnd;
            if (moved)
                enter(Off, stepEnd);
            break;
        case Formatting:
            moved = now >= formatEnd;
            if (moved)
                enter(Ready, formatEnd);
            break;
        default:
            break;
        }
    }
    if (m_state != Ready) {
        dropSaves(ended);
        return;
    }
    while (!m_saves.empty()) {
        const Clock::time_point done = m_writeStart + std::chrono::milliseconds(writeMs(m_saves.front()));
        if (now < done)
            break;
        SsdSave save = m_saves.front();
        m_saves.pop_front();
        m_files.push_back(save.file);
        m_writtenSeq = save.seq;
        save.written = true;
        m_writeStart = done;
        if (ended)
            ended->push_back(save);
    }
}

void SsdDrive::dropSaves(std::vector<SsdSave>* ended)
{
    // A save cut off by a failing or pulled SSD leaves no file; its sequence
    // number counts as done so that later saves keep their meaning.
    for (SsdSave& save : m_saves) {
        m_writtenSeq = save.seq;
        if (ended)
            ended->push_back(save);
    }
    m_saves.clear();
}

void SsdDrive::insert(Clock::time_point now, bool formatted)
{
    if (m_state != Removed && m_state != Off)
        return;
    m_formatted = formatted;
    if (!formatted)
        m_files.clear();
    m_open.clear();
    enter(Insert, now);
}

void SsdDrive::remove()
{
    m_open.clear();
    enter(Removed, Clock::now());
}

void SsdDrive::fail()
{
    m_open.clear();
    enter(Fail, Clock::now());
}

PutResult SsdDrive::unmount(Clock::time_point now)
{
    if (m_state != Ready && m_state != Unformatted)
        return PutResult::failure(409, QStringLiteral("SSD not mounted"));
    if (!m_saves.empty())
        return PutResult::failure(409, QStringLiteral("SSD busy saving"));
    m_open.clear();
    enter(Shutdown, now);
    return PutResult::success();
}

PutResult SsdDrive::format(Clock::time_point now, const QString& volumeName)
{
    if (m_state != Ready && m_state != Unformatted)
        return PutResult::failure(409, QStringLiteral("SSD not mounted"));
    if (!m_saves.empty())
        return PutResult::failure(409, QStringLiteral("SSD busy saving"));
    m_files.clear();
    m_open.clear();
    m_formatted = true;
    m_nameSeq = 1;
    if (!volumeName.isEmpty())
        m_volumeName = volumeName;
    enter(Formatting, now);
    return PutResult::success();
}

PutResult SsdDrive::list(bool longForm, QJsonArray* entries) const
{
    if (m_state != Ready)
        return PutResult::failure(409, QStringLiteral("SSD not ready"));
    for (const SsdFile& file : m_files) {
        if (longForm)
            entries->append(QJsonObject{{QStringLiteral("name"), file.name},
                                        {QStringLiteral("size"), static_cast<qint64>(file.size)},
                                        {QStringLiteral("time"), static_cast<qint64>(file.time)}});
        else
            entries->append(file.name);
    }
    return PutResult::success();
}

PutResult SsdDrive::open(const QString& name, int* take)
{
    if (m_state != Ready)
        return PutResult::failure(409, QStringLiteral("SSD not ready"));
    const bool exists =
        std::any_of(m_files.begin(), m_files.end(), [&](const SsdFile& file) { return file.name == name; });
    if (!exists)
        return PutResult::failure(404, QStringLiteral("no such file: %1").arg(name));
    for (const auto& [number, openName] : m_open) {
        if (openName == name) {
            *take = number;
            return PutResult::success();
        }
    }
    if (static_cast<int>(m_open.size()) >= MaxOpenTakes)
        return PutResult::failure(409, QStringLiteral("too many open files"));
    int number = 1;
    while (m_open.count(number))
        ++number;
    m_open[number] = name;
    *take = number;
    return PutResult::success();
}

PutResult SsdDrive::close(int take)
{
    if (!m_open.erase(take))
        return PutResult::failure(404, QStringLiteral("take %1 is not open").arg(take));
    return PutResult::success();
}

const SsdFile* SsdDrive::openFile(int take) const
{
    const auto found = m_open.find(take);
    if (found == m_open.end() || m_state != Ready)
        return nullptr;
    for (const SsdFile& file : m_files)
        if (file.name == found->second)
            return &file;
    return nullptr;
}

bool SsdDrive::nameTaken(const QString& name) const
{
    for (const SsdFile& file : m_files)
        if (file.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    for (const SsdSave& save : m_saves)
        if (save.file.name.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

QString SsdDrive::uniqueName(const QString& base)
{
    QString name = base + QStringLiteral(".vorn");
    for (int n = 2; nameTaken(name); ++n)
        name = QStringLiteral("%1_%2.vorn").arg(base).arg(n);
    return name;
}

int64_t SsdDrive::writeMs(const SsdSave& save) const
{
    if (m_timing.writeBytesPerSecond <= 0)
        return 0;
    return save.file.size * 1000 / m_timing.writeBytesPerSecond;
}

int64_t SsdDrive::queuedBytes() const
{
    int64_t bytes = 0;
    for (const SsdSave& save : m_saves)
        bytes += save.file.size;
    for (const SsdFile& file : m_files)
        bytes += file.size;
    return bytes;
}

PutResult SsdDrive::queueSave(Clock::time_point now, SsdSave& save)
{
    if (m_state != Ready)
        return PutResult::failure(409, QStringLiteral("SSD not ready"));
    const FrameParams& params = save.file.params;
    save.file.size =
        save.file.take.frameCount() * (static_cast<int64_t>(params.imageSize()) + params.metaSize) +
        FileHeaderBytes;
    if (static_cast<uint64_t>(queuedBytes() + save.file.size) > m_capacity)
        return PutResult::failure(507, QStringLiteral("not enough space on the SSD"));
    QString base = save.file.name;
    base.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    if (base.endsWith(QLatin1String(".vorn"), Qt::CaseInsensitive))
        base.chop(5);
    if (base.isEmpty())
        base = QStringLiteral("clip_%1").arg(m_nameSeq++, 4, 10, QLatin1Char('0'));
    save.file.name = uniqueName(base);
    save.file.take.name = save.file.name;
    save.seq = ++m_lastSeq;
    if (m_saves.empty())
        m_writeStart = now + std::chrono::milliseconds(m_timing.saveStartMs);
    m_saves.push_back(save);
    return PutResult::success();
}

std::vector<int> SsdDrive::takesBeingSaved() const
{
    std::vector<int> takes;
    for (const SsdSave& save : m_saves)
        takes.push_back(save.memoryTake);
    return takes;
}

void SsdDrive::describe(Clock::time_point now, QJsonObject& ssd) const
{
    const bool mounted = m_state == Ready || m_state == Formatting || m_state == Shutdown ||
                         m_state == PowerDown || m_state == Unformatted;
    int progress = 0;
    const bool writing = !m_saves.empty() && now >= m_writeStart;
    if (writing && !m_oldFirmware) {
        const int64_t total = writeMs(m_saves.front());
        const int64_t elapsed =
            std::chrono::duration_cast<std::chrono::milliseconds>(now - m_writeStart).count();
        progress = total > 0 ? static_cast<int>(std::clamp<int64_t>(elapsed * 100 / total, 0, 99)) : 0;
    }
    int64_t used = 0;
    for (const SsdFile& file : m_files)
        used += file.size;
    ssd.insert(QStringLiteral("state"), static_cast<int>(m_state));
    ssd.insert(QStringLiteral("wr_state"), writing ? 1 : 0);
    if (m_oldFirmware)
        ssd.remove(QStringLiteral("wr_seq"));
    else
        ssd.insert(QStringLiteral("wr_seq"), static_cast<qint64>(m_writtenSeq));
    ssd.insert(QStringLiteral("progress"), progress);
    ssd.insert(QStringLiteral("name"), mounted && m_formatted ? m_volumeName : QString());
    ssd.insert(QStringLiteral("size"), hex(mounted ? m_capacity : 0));
    ssd.insert(QStringLiteral("used"), hex(mounted && m_formatted ? static_cast<uint64_t>(used) : 0));
    ssd.insert(QStringLiteral("name_seq"), static_cast<qint64>(m_nameSeq));
    QJsonArray open;
    QJsonObject takes;
    for (const auto& [number, name] : m_open) {
        open.append(number);
        takes.insert(QStringLiteral("take%1").arg(number), QJsonObject{{QStringLiteral("name"), name}});
    }
    ssd.insert(QStringLiteral("open_takes"), open);
    ssd.insert(QStringLiteral("takes"), takes);
}

} // namespace q7sim
