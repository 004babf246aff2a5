#pragma once

#include "PutResult.h"
#include "SsdFile.h"
#include "SsdSave.h"

#include <QJsonArray>
#include <QJsonObject>
#include <chrono>
#include <deque>
#include <map>
#include <vector>

namespace q7sim {

// The camera's SSD: its state over time, the files on it, the files opened
// as SSD takes and the queue of saves being written. Time is wall-clock
// driven like the Recorder's: whoever asks after a deadline sees it passed.
// Not thread-safe: the owner locks.
class SsdDrive
{
public:
    using Clock = std::chrono::steady_clock;
    enum State {
        Removed = 0,
        Insert = 1,
        Enable = 2,
        Ready = 3,
        Shutdown = 4,
        PowerDown = 5,
        Off = 6,
        Fail = 7,
        Unformatted = 8,
        Formatting = 9
    };

    struct Timing
    {
        int stepMs = 300;                          // each step of mounting and ejecting
        int formatMs = 1000;                       // formatting
        int64_t writeBytesPerSecond = 400LL << 20; // saving
        int saveStartMs = 0;                       // preparing an idle SSD before it writes a save
    };

    // Older firmware numbers no saves and reports no progress: a save shows
    // only as ssd/wr_state while it is written.
    SsdDrive(uint64_t capacity, const Timing& timing, bool oldFirmware = false);

    // Moves the state and the saves on to `now`; saves that ended (written or
    // dropped because the SSD left the ready state) are appended to `ended`.
    void advance(Clock::time_point now, std::vector<SsdSave>* ended);
    int state() const { return m_state; }

    // The card was in when the camera started: ready at once.
    void mountAtStart() { m_state = Ready; }
    // Test hooks: a card put in (mounts over time), pulled out, or failing.
    void insert(Clock::time_point now, bool formatted);
    void remove();
    void fail();

    PutResult unmount(Clock::time_point now);
    PutResult format(Clock::time_point now, const QString& volumeName);
    PutResult list(bool longForm, QJsonArray* entries) const;
    PutResult open(const QString& name, int* take);
    PutResult close(int take);
    const SsdFile* openFile(int take) const;

    // Queues a save; `save.file` holds the take, params, range and, when the
    // client named it, the name without extension. Fills in seq and the name.
    PutResult queueSave(Clock::time_point now, SsdSave& save);
    // The memory takes that queued saves still read.
    std::vector<int> takesBeingSaved() const;

    // The ssd member of the state document (autosave values are the caller's).
    void describe(Clock::time_point now, QJsonObject& ssd) const;

private:
    void enter(State state, Clock::time_point now);
    void dropSaves(std::vector<SsdSave>* ended);
    bool nameTaken(const QString& name) const;
    QString uniqueName(const QString& base);
    int64_t writeMs(const SsdSave& save) const;
    int64_t queuedBytes() const;

    uint64_t m_capacity;
    Timing m_timing;
    bool m_oldFirmware;
    State m_state = Removed;
    bool m_formatted = true;
    Clock::time_point m_stateSince;
    QString m_volumeName = QStringLiteral("Q7SSD");
    int64_t m_nameSeq = 1;
    std::vector<SsdFile> m_files;
    std::map<int, QString> m_open; // take number -> file name
    std::deque<SsdSave> m_saves;
    Clock::time_point m_writeStart; // of the first queued save, once prepared
    int64_t m_lastSeq = 0;
    int64_t m_writtenSeq = 0;
};

} // namespace q7sim
