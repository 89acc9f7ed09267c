#include "memory.h"

#include <QFile>

namespace tessary::testing {

qint64 privateKilobytes()
{
    QFile rollup(QStringLiteral("/proc/self/smaps_rollup"));
    if (!rollup.open(QIODevice::ReadOnly))
        return -1;
    qint64 total = 0;
    for (const QByteArray &line : rollup.readAll().split('\n')) {
        if (line.startsWith("Private_Clean:") || line.startsWith("Private_Dirty:"))
            total += line.split(':').last().trimmed().split(' ').first().toLongLong();
    }
    return total;
}

} // namespace tessary::testing
