#pragma once

// What the X11 benchmarks share: a mute sound player, time and peak-memory readings, and ways
// of keeping the event loop turning while waiting.

#include "core/services.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <chrono>

namespace tessary::bench {

using Clock = std::chrono::steady_clock;

class SilentSound : public SoundPlayer {
public:
    void playCopyConfirmation() override {}
    void playErrorBeep() override {}
};

inline double msBetween(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

inline qint64 procStatusKiB(const char *field)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong();
    }
    return -1;
}

inline void resetPeakRss()
{
    QFile refs("/proc/self/clear_refs");
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

inline void spin(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

template <typename Predicate> bool spinUntil(Predicate done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    return done();
}

} // namespace tessary::bench
