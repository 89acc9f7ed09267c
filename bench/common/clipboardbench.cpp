#include "clipboardbench.h"

#include "core/monitor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QTimer>
#include <algorithm>
#include <cstdio>

namespace tessary::bench {
namespace {

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * double(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

} // namespace

MeasuredCapture measureCapture(Pasteboard &pasteboard, int timeoutMs)
{
    const qint64 idleKiB = procStatusKiB("VmRSS:");
    resetPeakRss();
    const auto start = Clock::now();
    QFuture<std::optional<Payload>> future = pasteboard.capture();
    spinUntil([&] { return future.isFinished(); }, timeoutMs);
    const double ms = msBetween(start, Clock::now());
    return {future.isFinished() && future.resultCount() > 0 ? future.result() : std::nullopt, ms,
            procStatusKiB("VmHWM:") - idleKiB};
}

EventLoopGapMeter::EventLoopGapMeter()
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setInterval(1);
    QObject::connect(&m_timer, &QTimer::timeout, [this] {
        const qint64 gap = m_since.restart();
        m_longestMs = std::max(m_longestMs, gap);
        if (gap > kFrameMs)
            m_stalledMs += gap;
    });
}

void EventLoopGapMeter::start()
{
    m_longestMs = 0;
    m_stalledMs = 0;
    m_since.start();
    m_timer.start();
}

double msBetween(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

void spin(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

bool spinUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    return done();
}

QByteArray largePng()
{
    QByteArray bytes("\x89PNG\r\n\x1a\n", 8);
    bytes.resize(qsizetype(36) << 20);
    for (qsizetype i = 8; i < bytes.size(); ++i)
        bytes[i] = char((i * 2654435761u) >> 13);
    return bytes;
}

Clock::time_point OwnerChangeStamps::last()
{
    std::lock_guard lock(m_mutex);
    return m_stamps.empty() ? Clock::time_point() : m_stamps.back();
}

std::size_t OwnerChangeStamps::count()
{
    std::lock_guard lock(m_mutex);
    return m_stamps.size();
}

void OwnerChangeStamps::stamp()
{
    std::lock_guard lock(m_mutex);
    m_stamps.push_back(Clock::now());
}

void measureCaptureLatency(Pasteboard &pasteboard, OwnerChangeStamps &stamps,
                           const QString &program, const QStringList &arguments,
                           const QProcessEnvironment &environment)
{
    SilentSound sound;
    ClipboardMonitor monitor(pasteboard, sound);
    Clock::time_point adopted;
    QObject::connect(&monitor, &ClipboardMonitor::lastChangeCountChanged,
                     [&] { adopted = Clock::now(); });
    monitor.startMonitoring();
    std::vector<double> total, beyondTick;
    for (int i = 0; i < 100; ++i) {
        // A random phase against the half-second tick, as a user's copies have.
        spin(QRandomGenerator::global()->bounded(500));
        const std::size_t ownersBefore = stamps.count();
        const QString text = QStringLiteral("copy number %1").arg(i);
        QProcess client;
        client.setProcessEnvironment(environment);
        client.start(program, arguments);
        client.write(text.toUtf8());
        client.closeWriteChannel();
        const bool captured = spinUntil(
            [&] {
                return monitor.history()->rowCount() > 0 &&
                       monitor.history()->entries().first().payload == Payload::text(text);
            },
            5000);
        const Clock::time_point inModel = Clock::now();
        client.waitForFinished();
        if (!captured || stamps.count() == ownersBefore) {
            std::printf("  copy %d: not captured\n", i);
            continue;
        }
        total.push_back(msBetween(stamps.last(), inModel));
        beyondTick.push_back(msBetween(adopted, inModel));
    }
    if (total.empty())
        return;
    std::printf("capture latency, %s owning -> entry in the model (%zu copies):\n"
                "  total       p50 %.1f ms  p99 %.1f ms  max %.1f ms\n"
                "  beyond tick p50 %.2f ms  p99 %.2f ms  max %.2f ms\n",
                qPrintable(program), total.size(), percentile(total, 0.5), percentile(total, 0.99),
                *std::max_element(total.begin(), total.end()), percentile(beyondTick, 0.5),
                percentile(beyondTick, 0.99),
                *std::max_element(beyondTick.begin(), beyondTick.end()));
}

void compareWithRawRead(Pasteboard &pasteboard, const char *ownerName, const char *rawName,
                        qsizetype size, const std::function<QByteArray()> &rawRead)
{
    for (int round = 0; round < 2; ++round) {
        const qint64 idleKiB = procStatusKiB("VmRSS:");
        resetPeakRss();
        const auto start = Clock::now();
        QByteArray raw = rawRead();
        const double rawMs = msBetween(start, Clock::now());
        const qint64 rawPeakKiB = procStatusKiB("VmHWM:") - idleKiB;
        const qsizetype rawSize = raw.size();
        raw = QByteArray();

        const MeasuredCapture capture = measureCapture(pasteboard, 10000);
        const qsizetype captured = capture.payload ? capture.payload->imageBytes().size() : -1;
        std::printf("36 MiB PNG from %s, round %d:\n"
                    "  %-18s %7.1f ms  peak RSS above idle %6.1f MiB (%lld bytes)\n"
                    "  capture()          %7.1f ms  peak RSS above idle %6.1f MiB (%lld bytes)\n"
                    "  capture/raw time %.2fx, capture peak RSS %.2fx payload\n",
                    ownerName, round + 1, rawName, rawMs, rawPeakKiB / 1024.0, qlonglong(rawSize),
                    capture.ms, capture.peakKiB / 1024.0, qlonglong(captured), capture.ms / rawMs,
                    capture.peakKiB * 1024.0 / double(size));
    }
}

void measureHungOwnerStall(Pasteboard &pasteboard)
{
    // The same wait without a capture tells what the machine's scheduling alone costs.
    EventLoopGapMeter meter;
    meter.start();
    spin(2000);
    const qint64 idleGap = meter.longestGapMs();

    meter.start();
    const MeasuredCapture capture = measureCapture(pasteboard, 10000);
    std::printf("owner that never answers: capture gave up after %.0f ms (%s);\n"
                "  longest GUI event-loop gap meanwhile %lld ms (%lld ms over 2 s without a "
                "capture)\n",
                capture.ms, capture.payload ? "an entry!" : "no entry", meter.longestGapMs(),
                idleGap);
}

} // namespace tessary::bench
