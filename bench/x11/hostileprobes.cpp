// How the clipboard stands up to hostile clients: an owner that keeps appending to its answer,
// a requestor that floods us with MULTIPLE requests while we own the clipboard, an owner that
// takes the clipboard a thousand times a second, and copies built to be costly to take in.

#include "hostileprobes.h"

#include "common/clipboardbench.h"
#include "core/monitor.h"
#include "platform/x11/x11pasteboard.h"
#include "platform/x11/xcbsupport.h"
#include "platform/x11testsupport.h"
#include "support/images.h"

#include <QProcess>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <poll.h>
#include <thread>

namespace tessary::bench {

using namespace tessary::testing;

namespace {

// A requestor that asks for MULTIPLE conversions of many pairs at once, from a thread of its own:
// each request is a few KiB; served naively, each makes the owner write pairs × the payload.
class MultipleFlood {
public:
    // Prepares the requests' pair lists; nothing is asked yet.
    MultipleFlood(int requests, int pairs) : m_requests(requests)
    {
        m_connection = xcb_connect(nullptr, nullptr);
        m_atoms.intern(m_connection);
        m_window = x11::createPrivateWindow(m_connection);
        QList<xcb_atom_t> list;
        for (int i = 0; i < pairs; ++i)
            list << m_atoms.utf8String
                 << x11::internAtom(m_connection, ("FLOOD_" + QByteArray::number(i)).constData());
        for (int r = 0; r < requests; ++r) {
            m_lists << x11::internAtom(m_connection,
                                       ("FLOOD_PAIRS_" + QByteArray::number(r)).constData());
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_window, m_lists.last(),
                                m_atoms.atomPair, 32, list.size(), list.constData());
        }
        xcb_flush(m_connection);
    }
    // Sends every request at once and counts the answers on a thread of its own.
    void start()
    {
        for (xcb_atom_t property : std::as_const(m_lists))
            xcb_convert_selection(m_connection, m_window, m_atoms.clipboard, m_atoms.multiple,
                                  property, XCB_CURRENT_TIME);
        xcb_flush(m_connection);
        m_thread = std::thread([this] {
            pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
            while (m_answered < m_requests && poll(&fd, 1, 30000) > 0) {
                while (x11::EventPtr event{xcb_poll_for_event(m_connection)}) {
                    if (x11::eventType(event.get()) == XCB_SELECTION_NOTIFY)
                        ++m_answered;
                }
            }
        });
    }
    ~MultipleFlood()
    {
        m_thread.join();
        xcb_disconnect(m_connection);
    }
    bool answered() const { return m_answered == m_requests; }

private:
    int m_requests;
    xcb_connection_t *m_connection;
    x11::Atoms m_atoms;
    xcb_window_t m_window;
    QList<xcb_atom_t> m_lists;
    std::atomic<int> m_answered{0};
    std::thread m_thread;
};

} // namespace

// An owner that answers and then keeps appending to its answer, read directly and then while a
// normal copy follows it.
void measureAppendingOwner(X11Pasteboard &pasteboard)
{
    const QByteArray answer(12 << 20, 'a');
    const int chunk = 1 << 20;
    {
        const qint64 before = pasteboard.changeCount();
        ForeignOwner owner({{"UTF8_STRING", answer}}, ForeignOwner::Behaviour::KeepAppending,
                           chunk);
        owner.start();
        spinUntil([&] { return pasteboard.changeCount() != before; }, 5000);
        const MeasuredCapture capture = measureCapture(pasteboard, 120000);
        std::printf("owner answering 12 MiB, then appending 1 MiB pieces (up to %lld MiB):\n"
                    "  capture() ended after %.0f ms with %lld characters; the owner had "
                    "appended %lld MiB; peak RSS above idle %.1f MiB\n",
                    qlonglong(ForeignOwner::kAppendLimit >> 20), capture.ms,
                    qlonglong(capture.payload ? capture.payload->text().size() : -1),
                    qlonglong(owner.appended() >> 20), capture.peakKiB / 1024.0);
    }
    SilentSound sound;
    ClipboardMonitor monitor(pasteboard, sound);
    monitor.startMonitoring();
    EventLoopGapMeter meter;
    meter.start();
    const qint64 before = pasteboard.changeCount();
    ForeignOwner owner({{"UTF8_STRING", answer}}, ForeignOwner::Behaviour::KeepAppending, chunk);
    owner.start();
    spinUntil([&] { return pasteboard.changeCount() != before; }, 5000);
    spin(1000);
    const auto copied = Clock::now();
    // Started, not waited for: the meter measures the GUI thread, not this probe.
    QProcess copy;
    copy.start("sh", {"-c", "printf next | xclip -selection clipboard -t UTF8_STRING"});
    const bool captured = spinUntil(
        [&] {
            return monitor.history()->rowCount() > 0 &&
                   monitor.history()->entries().first().payload == Payload::text("next");
        },
        60000);
    std::printf("  a copy made 1 s into that read: %s after %.0f ms; longest GUI event-loop gap "
                "%lld ms\n",
                captured ? "captured" : "lost", msBetween(copied, Clock::now()),
                meter.longestGapMs());
}

void measureCostlyCopies(X11Pasteboard &pasteboard)
{
    SilentSound sound;
    ClipboardMonitor monitor(pasteboard, sound);
    monitor.startMonitoring();
    const QString accented = QStringLiteral("Déjà vu, été, œuvre, naïveté. ");
    const struct {
        const char *name, *type;
        QByteArray data;
    } copies[] = {
        {"a TIFF of 4 M strips (24 MiB)", "image/tiff", testing::stripedTiff(4 << 20)},
        {"8 MiB of French text", "UTF8_STRING",
         accented.repeated((8 << 20) / accented.toUtf8().size()).toUtf8()},
        {"4 M \"é\"", "UTF8_STRING", QString(4 << 20, QChar(0xe9)).toUtf8()},
        {"10 bytes after those", "UTF8_STRING", "ten bytes."},
    };
    for (const auto &copy : copies) {
        const QUuid newest =
            monitor.history()->rowCount() > 0 ? monitor.history()->entries()[0].id : QUuid();
        EventLoopGapMeter meter;
        meter.start();
        const auto start = Clock::now();
        ForeignOwner owner({{copy.type, copy.data}});
        owner.start();
        const bool captured = spinUntil(
            [&] {
                return monitor.history()->rowCount() > 0 &&
                       monitor.history()->entries()[0].id != newest;
            },
            60000);
        std::printf("%s: %s after %.0f ms; longest GUI event-loop gap %lld ms\n", copy.name,
                    captured ? "captured" : "NOT captured", msBetween(start, Clock::now()),
                    meter.longestGapMs());
    }
}

void measureMultipleFlood(X11Pasteboard &pasteboard)
{
    pasteboard.write(Payload::text(QString(1 << 20, u'x')));
    spin(200);
    MultipleFlood flood(60, 512);
    EventLoopGapMeter meter;
    meter.start();
    const auto start = Clock::now();
    flood.start();
    const bool answered = spinUntil([&] { return flood.answered(); }, 60000);
    const double ms = msBetween(start, Clock::now());
    spin(100);
    std::printf("60 MULTIPLE requests of 512 pairs over a 1 MiB text: %s after %.0f ms; longest "
                "GUI event-loop gap %lld ms\n",
                answered ? "all answered" : "NOT all answered", ms, meter.longestGapMs());
}

void measureOwnershipFlood(X11Pasteboard &pasteboard)
{
    SilentSound sound;
    ClipboardMonitor monitor(pasteboard, sound);
    monitor.startMonitoring();
    const qint64 residentKiB = procStatusKiB("VmRSS:");
    ForeignOwner flood(QList<ForeignOwner::Target>{{"UTF8_STRING", "flood 0"}});
    flood.start();
    flood.takeAgainPerSecond(1000);
    EventLoopGapMeter meter;
    meter.start();
    spin(5000);
    const int changes = flood.takeAgainPerSecond(0);
    const qint64 longestMs = meter.longestGapMs();
    const bool last = spinUntil(
        [&] {
            return monitor.history()->rowCount() > 0 &&
                   monitor.history()->entries().first().payload.text().toLatin1() ==
                       flood.lastText();
        },
        10000);
    std::printf("an owner taking the clipboard 1000 times a second for 5 s (%d changes): longest "
                "GUI event-loop gap %lld ms, %d entries, resident memory %+.1f MiB, last text "
                "%s\n",
                changes, qlonglong(longestMs), monitor.history()->rowCount(),
                (procStatusKiB("VmRSS:") - residentKiB) / 1024.0, last ? "captured" : "LOST");
}

} // namespace tessary::bench
