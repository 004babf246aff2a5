#pragma once

#include <QMutex>
#include <QtGlobal>
#include <memory>
#include <vector>

// White-balance gain tables (v -> v * gain, rounded half away from zero and
// saturated, for every 16-bit v), kept for the few gains in use so that a
// frame does not rebuild 65536 entries per colour. Shared by all threads
// that run the pipeline; a table never changes once made.
class GainTableCache
{
public:
    using Table = std::shared_ptr<const std::vector<quint16>>;

    // The table of a gain, made on first use.
    Table table(double gain);

    static std::vector<quint16> build(double gain);

private:
    // A camera's three gains for a few frames of white-balance edits.
    static constexpr int capacity = 8;

    QMutex m_mutex;
    // Most recently used last.
    std::vector<std::pair<double, Table>> m_tables;
};
