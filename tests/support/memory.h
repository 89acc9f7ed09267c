#pragma once

// Memory readings from /proc, for tests and benchmarks that make claims about memory. Header
// only: the sanitizer build, which has no other test support, uses them too.

#include <QByteArray>
#include <QFile>
#include <initializer_list>

namespace tessary::testing {

// The sum of some "Name:  123 kB" fields of a /proc file, in kilobytes; -1 when it cannot be
// read or holds none of them.
inline qint64 procFieldsKiB(const QByteArray &path, std::initializer_list<const char *> fields)
{
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    qint64 total = -1;
    for (const QByteArray &line : file.readAll().split('\n')) {
        for (const char *field : fields) {
            if (line.startsWith(field))
                total = std::max<qint64>(total, 0) +
                        line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
        }
    }
    return total;
}

// A "Vm..." field of /proc/<pid>/status in kilobytes ("VmRSS:", "VmHWM:"); this process by
// default.
inline qint64 procStatusKiB(const char *field, qint64 pid = 0)
{
    return procFieldsKiB(pid > 0 ? "/proc/" + QByteArray::number(pid) + "/status"
                                 : QByteArray("/proc/self/status"),
                         {field});
}

// The memory only this process uses (private pages, clean and dirty), in kilobytes: what a leak
// makes grow.
inline qint64 privateKilobytes()
{
    return procFieldsKiB("/proc/self/smaps_rollup", {"Private_Clean:", "Private_Dirty:"});
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
