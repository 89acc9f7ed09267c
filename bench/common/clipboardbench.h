#pragma once

// What the clipboard benchmarks of every backend measure, the same way: capture latency from a
// command-line client's copy to the entry in the model, a large capture beside a bare read of
// the same bytes, and the GUI thread while a read waits on a hung owner.

#include "core/services.h"
#include "support/memory.h"

#include <QElapsedTimer>
#include <QProcessEnvironment>
#include <QTimer>
#include <chrono>
#include <functional>
#include <mutex>
#include <vector>

namespace tessary::bench {

using Clock = std::chrono::steady_clock;

class SilentSound : public SoundPlayer {
public:
    void playCopyConfirmation() override {}
    void playErrorBeep() override {}
};

double msBetween(Clock::time_point a, Clock::time_point b);
// Keeps the event loop turning meanwhile.
void spin(int ms);
bool spinUntil(const std::function<bool()> &done, int timeoutMs);

using testing::procStatusKiB;
using testing::resetPeakRss;

// One capture() waited for: its result, how long it took, and the most memory it held at once.
struct MeasuredCapture {
    std::optional<Payload> payload;
    double ms;
    qint64 peakKiB; // resident memory above what was resident before it began
};
MeasuredCapture measureCapture(Pasteboard &pasteboard, int timeoutMs);

// The longest time the event loop went without turning since start(), measured with a 1 ms
// timer, and the time it spent in gaps longer than a frame.
class EventLoopGapMeter {
public:
    static constexpr qint64 kFrameMs = 16;
    EventLoopGapMeter();
    void start();
    qint64 longestGapMs() const { return m_longestMs; }
    qint64 stalledMs() const { return m_stalledMs; }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longestMs = 0;
    qint64 m_stalledMs = 0;
};

// 36 MiB behind a PNG signature, in a pattern that does not compress.
QByteArray largePng();

// The moments the display server reported a new clipboard owner, stamped by a watcher on a
// connection and thread of its own (subclasses run it).
class OwnerChangeStamps {
public:
    virtual ~OwnerChangeStamps() = default;
    Clock::time_point last();
    std::size_t count();

protected:
    void stamp();

private:
    std::mutex m_mutex;
    std::vector<Clock::time_point> m_stamps;
};

// 100 copies of a text by a client (PROGRAM ARGUMENTS, the text on its standard input), each at
// a random phase against the monitor's tick: the time from the new owner to the entry in the
// model, and the part of it after the tick adopted the change.
void measureCaptureLatency(
    Pasteboard &pasteboard, OwnerChangeStamps &stamps, const QString &program,
    const QStringList &arguments,
    const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());

// capture() of what is on the clipboard now beside a bare read of the same bytes (time and peak
// memory), twice: the first round warms up the allocator.
void compareWithRawRead(Pasteboard &pasteboard, const char *ownerName, const char *rawName,
                        qsizetype size, const std::function<QByteArray()> &rawRead);

// A capture from the owner on the clipboard now, which never answers: when it gives up, and the
// longest gap in the GUI thread's event loop meanwhile beside the same wait without a capture.
void measureHungOwnerStall(Pasteboard &pasteboard);

} // namespace tessary::bench
