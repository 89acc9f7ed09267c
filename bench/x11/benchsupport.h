#pragma once

// What the X11 benchmarks share: a mute sound player, time and peak-memory readings, and ways
// of keeping the event loop turning while waiting.

#include "core/services.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <algorithm>
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

// One capture() waited for: its result, how long it took, and the most memory it held at once.
struct MeasuredCapture {
    std::optional<Payload> payload;
    double ms;
    qint64 peakKiB; // resident memory above what was resident before it began
};

inline MeasuredCapture measureCapture(Pasteboard &pasteboard, int timeoutMs)
{
    const qint64 idleKiB = procStatusKiB("VmRSS:");
    resetPeakRss();
    const auto start = Clock::now();
    QFuture<std::optional<Payload>> future = pasteboard.capture();
    spinUntil([&] { return future.isFinished(); }, timeoutMs);
    const double ms = msBetween(start, Clock::now());
    return {future.isFinished() ? future.result() : std::nullopt, ms,
            procStatusKiB("VmHWM:") - idleKiB};
}

// The longest time the event loop went without turning since start(), measured with a 1 ms
// timer.
class EventLoopGapMeter {
public:
    EventLoopGapMeter()
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longestMs = std::max(m_longestMs, m_since.restart()); });
    }
    void start()
    {
        m_longestMs = 0;
        m_since.start();
        m_timer.start();
    }
    qint64 longestGapMs() const { return m_longestMs; }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longestMs = 0;
};

} // namespace tessary::bench
