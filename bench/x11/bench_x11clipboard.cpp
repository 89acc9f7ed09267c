// Capture latency, large-image capture cost and GUI-thread stalls of the X11 clipboard, measured
// against a private Xvfb with xclip and a scripted owner on the other side.

#include "benchsupport.h"
#include "core/monitor.h"
#include "hostileprobes.h"
#include "platform/x11/x11pasteboard.h"
#include "platform/x11/xcbsupport.h"
#include "platform/x11testsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryFile>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <mutex>
#include <sys/socket.h>
#include <thread>
#include <xcb/xfixes.h>

using namespace tessary;
using namespace tessary::bench;
using namespace tessary::testing;

namespace {

double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(p * double(values.size() - 1) + 0.5);
    return values[std::min(index, values.size() - 1)];
}

// Stamps the moment the server reports each new CLIPBOARD owner, from a thread of its own.
class OwnershipStamps {
public:
    OwnershipStamps()
    {
        m_connection = xcb_connect(nullptr, nullptr);
        x11::Atoms atoms;
        atoms.intern(m_connection);
        const xcb_window_t window = x11::createPrivateWindow(m_connection);
        m_event = x11::watchSelectionOwner(m_connection, window, atoms.clipboard);
        xcb_flush(m_connection);
        m_thread = std::thread([this] {
            while (x11::EventPtr event{xcb_wait_for_event(m_connection)}) {
                if (x11::eventType(event.get()) == m_event) {
                    std::lock_guard lock(m_mutex);
                    m_stamps.push_back(Clock::now());
                }
            }
        });
    }
    ~OwnershipStamps() { stop(); }
    Clock::time_point last()
    {
        std::lock_guard lock(m_mutex);
        return m_stamps.empty() ? Clock::time_point() : m_stamps.back();
    }
    std::size_t count()
    {
        std::lock_guard lock(m_mutex);
        return m_stamps.size();
    }

private:
    void stop()
    {
        // Closing the socket from outside ends the thread's blocking wait.
        shutdown(xcb_get_file_descriptor(m_connection), SHUT_RDWR);
        m_thread.join();
        xcb_disconnect(m_connection);
    }
    xcb_connection_t *m_connection;
    int m_event = -1;
    std::thread m_thread;
    std::mutex m_mutex;
    std::vector<Clock::time_point> m_stamps;
};

void measureCaptureLatency(X11Pasteboard &pasteboard)
{
    SilentSound sound;
    ClipboardMonitor monitor(pasteboard, sound);
    Clock::time_point adopted;
    QObject::connect(&monitor, &ClipboardMonitor::lastChangeCountChanged,
                     [&] { adopted = Clock::now(); });
    monitor.startMonitoring();
    OwnershipStamps stamps;
    std::vector<double> total, beyondTick;
    for (int i = 0; i < 100; ++i) {
        // A random phase against the half-second tick, as a user's copies have.
        spin(QRandomGenerator::global()->bounded(500));
        const std::size_t ownersBefore = stamps.count();
        const QString text = QStringLiteral("copy number %1").arg(i);
        QProcess xclip;
        xclip.start("xclip", {"-selection", "clipboard", "-t", "UTF8_STRING", "-i"});
        xclip.write(text.toUtf8());
        xclip.closeWriteChannel();
        const bool captured = spinUntil(
            [&] {
                return monitor.history()->rowCount() > 0 &&
                       monitor.history()->entries().first().payload == Payload::text(text);
            },
            5000);
        const Clock::time_point inModel = Clock::now();
        xclip.waitForFinished();
        if (!captured || stamps.count() == ownersBefore) {
            std::printf("  copy %d: not captured\n", i);
            continue;
        }
        total.push_back(msBetween(stamps.last(), inModel));
        beyondTick.push_back(msBetween(adopted, inModel));
    }
    std::printf("capture latency, xclip owning -> entry in the model (%zu copies):\n"
                "  total       p50 %.1f ms  p99 %.1f ms  max %.1f ms\n"
                "  beyond tick p50 %.2f ms  p99 %.2f ms  max %.2f ms\n",
                total.size(), percentile(total, 0.5), percentile(total, 0.99),
                *std::max_element(total.begin(), total.end()), percentile(beyondTick, 0.5),
                percentile(beyondTick, 0.99),
                *std::max_element(beyondTick.begin(), beyondTick.end()));
}

// A bare ICCCM read of one target with INCR, for comparison: no priority, no limits.
QByteArray rawIncrRead(const char *target)
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    x11::Atoms atoms;
    atoms.intern(c);
    const xcb_atom_t targetAtom = x11::internAtom(c, target);
    const xcb_window_t window = x11::createPrivateWindow(c);
    xcb_convert_selection(c, window, atoms.clipboard, targetAtom, atoms.transferProperty,
                          XCB_CURRENT_TIME);
    xcb_flush(c);
    QByteArray data;
    bool incremental = false;
    while (x11::EventPtr event{xcb_wait_for_event(c)}) {
        const quint8 type = x11::eventType(event.get());
        const bool notified = type == XCB_SELECTION_NOTIFY;
        const bool piece = type == XCB_PROPERTY_NOTIFY && incremental &&
                           reinterpret_cast<xcb_property_notify_event_t *>(event.get())->state ==
                               XCB_PROPERTY_NEW_VALUE;
        if (!notified && !piece)
            continue;
        x11::XcbPtr<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(c,
                                   xcb_get_property(c, 1, window, atoms.transferProperty,
                                                    XCB_GET_PROPERTY_TYPE_ANY, 0, UINT32_MAX / 4),
                                   nullptr));
        xcb_flush(c);
        if (!reply)
            break;
        if (notified && reply->type == atoms.incr) {
            incremental = true;
            continue;
        }
        const int length = xcb_get_property_value_length(reply.get());
        data.append(static_cast<const char *>(xcb_get_property_value(reply.get())), length);
        if (!incremental || length == 0)
            break;
    }
    xcb_disconnect(c);
    return data;
}

QByteArray largePng()
{
    QByteArray bytes("\x89PNG\r\n\x1a\n", 8);
    bytes.resize(qsizetype(36) << 20);
    for (qsizetype i = 8; i < bytes.size(); ++i)
        bytes[i] = char((i * 2654435761u) >> 13);
    return bytes;
}

// Compares capture() with a bare INCR read of the same owner, twice (the first round warms up
// the allocator).
void compareWithRawRead(X11Pasteboard &pasteboard, const char *ownerName, qsizetype size)
{
    for (int round = 0; round < 2; ++round) {
        const qint64 idleKiB = procStatusKiB("VmRSS:");
        resetPeakRss();
        auto start = Clock::now();
        QByteArray raw = rawIncrRead("image/png");
        const double rawMs = msBetween(start, Clock::now());
        const qint64 rawPeakKiB = procStatusKiB("VmHWM:") - idleKiB;
        const qsizetype rawSize = raw.size();
        raw = QByteArray();

        const MeasuredCapture capture = measureCapture(pasteboard, 10000);
        const double captureMs = capture.ms;
        const qint64 capturePeakKiB = capture.peakKiB;
        const qsizetype captured = capture.payload ? capture.payload->imageBytes().size() : -1;
        std::printf("36 MiB PNG from %s, round %d:\n"
                    "  raw xcb INCR read  %7.1f ms  peak RSS above idle %6.1f MiB (%lld bytes)\n"
                    "  capture()          %7.1f ms  peak RSS above idle %6.1f MiB (%lld bytes)\n"
                    "  capture/raw time %.2fx, capture peak RSS %.2fx payload\n",
                    ownerName, round + 1, rawMs, rawPeakKiB / 1024.0, qlonglong(rawSize), captureMs,
                    capturePeakKiB / 1024.0, qlonglong(captured), captureMs / rawMs,
                    capturePeakKiB * 1024.0 / double(size));
    }
}

void measureLargeImage(X11Pasteboard &pasteboard)
{
    QTemporaryFile file;
    file.open();
    file.write(largePng());
    file.flush();
    qint64 before = pasteboard.changeCount();
    QProcess::execute("xclip",
                      {"-selection", "clipboard", "-t", "image/png", "-i", file.fileName()});
    spinUntil([&] { return pasteboard.changeCount() != before; }, 5000);
    spin(200);
    compareWithRawRead(pasteboard, "xclip", file.size());

    // An owner handing out 1 MiB pieces as fast as they are asked for.
    before = pasteboard.changeCount();
    ForeignOwner owner({{"image/png", largePng()}}, ForeignOwner::Behaviour::Answer, 1 << 20);
    owner.start();
    spinUntil([&] { return pasteboard.changeCount() != before; }, 5000);
    spin(200);
    compareWithRawRead(pasteboard, "a 1 MiB-increment owner", file.size());
}

void measureHungOwnerStall(X11Pasteboard &pasteboard)
{
    const qint64 before = pasteboard.changeCount();
    ForeignOwner hung({{"UTF8_STRING", "never sent"}}, ForeignOwner::Behaviour::NeverAnswer);
    hung.start();
    spinUntil([&] { return pasteboard.changeCount() != before; }, 5000);

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

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    PrivateXServer server;
    if (!server.isRunning()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    std::unique_ptr<X11Pasteboard> pasteboard = X11Pasteboard::create({server.display()});
    if (!pasteboard)
        return 1;
    const QStringList only = app.arguments().mid(1);
    const auto wanted = [&](const char *name) { return only.isEmpty() || only.contains(name); };
    if (wanted("latency"))
        measureCaptureLatency(*pasteboard);
    if (wanted("large"))
        measureLargeImage(*pasteboard);
    if (wanted("hung"))
        measureHungOwnerStall(*pasteboard);
    if (wanted("appending"))
        measureAppendingOwner(*pasteboard);
    if (wanted("multiple"))
        measureMultipleFlood(*pasteboard);
    return 0;
}
