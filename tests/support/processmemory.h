#pragma once

// Memory readings from /proc, for tests and benchmarks that make claims about memory.

#include <QByteArray>
#include <QFile>

namespace tessary::testing {

// A "Vm..." field of /proc/<pid>/status in KiB ("VmRSS:", "VmHWM:"); this process by default.
// -1 when it cannot be read.
inline qint64 procStatusKiB(const char *field, qint64 pid = 0)
{
    QFile status(pid > 0 ? "/proc/" + QByteArray::number(pid) + "/status" : "/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

// Starts VmHWM (the peak resident size) afresh from what is resident now.
inline void resetPeakRss()
{
    QFile refs("/proc/self/clear_refs");
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

// How much more than was resident before it ran the call held resident at its peak, in KiB.
template <typename Call> qint64 peakGrowthKiB(Call call)
{
    const qint64 before = procStatusKiB("VmRSS:");
    resetPeakRss();
    call();
    return procStatusKiB("VmHWM:") - before;
}

} // namespace tessary::testing
