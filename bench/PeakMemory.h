#pragma once

#include <QFile>

// The process's resident memory (Linux): the peak since the last reset and
// now, in megabytes. Resetting lets one benchmark measure its own peak after
// the set-up (building sample files) has run.
namespace korvane::bench {

inline double residentMegabytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

inline void resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly))
        clear.write("5");
}

inline double peakMegabytes()
{
    return residentMegabytes("VmHWM");
}

inline double currentMegabytes()
{
    return residentMegabytes("VmRSS");
}

} // namespace korvane::bench
