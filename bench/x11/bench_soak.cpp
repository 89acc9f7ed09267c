// A soak: 10,000 mixed copies made with xclip on a private Xvfb (short and long texts, accented
// ones, repeats of earlier copies, PNG and TIFF bytes, file lists), each captured by the monitor
// as the application runs it. Prints the resident memory after every thousand (it must level
// off once the history is full), the GUI thread's longest stall and its time in stalls longer
// than a frame, and the copies that were not captured.
//
//   build/bench/x11/bench_soak [copies]

#include "common/clipboardbench.h"
#include "core/monitor.h"
#include "platform/x11/x11pasteboard.h"
#include "platform/x11testsupport.h"

#include <QCoreApplication>
#include <cstdio>

using namespace tessary;
using namespace tessary::bench;
using namespace tessary::testing;

namespace {

// Bytes behind a signature, in a pattern of this copy's own.
QByteArray imageBytes(const QByteArray &signature, qsizetype size, int copy)
{
    QByteArray bytes = signature;
    bytes.reserve(size);
    for (qsizetype i = bytes.size(); i < size; ++i)
        bytes.append(char((i * 131 + copy * 7) >> 3));
    return bytes;
}

struct Copy {
    QByteArray type;
    QByteArray data;
};

Copy mixedCopy(int n)
{
    const QByteArray number = QByteArray::number(n);
    switch (n % 10) {
    case 4:
        return {
            "UTF8_STRING",
            QStringLiteral("Déjà vu n° %1 — été, œuvre, naïveté. ").arg(n).repeated(40).toUtf8()};
    case 5: // a repeat of a copy made a little earlier
        return mixedCopy(std::max(0, n - 7));
    case 6:
        return {"UTF8_STRING",
                QByteArray("long " + number + '\n').repeated(n % 100 == 6 ? 32768 : 1024)};
    case 7:
        return {"image/png", imageBytes(QByteArray("\x89PNG\r\n\x1a\n", 8), 64 << 10, n)};
    case 8:
        return {"text/uri-list", "file:///tmp/soak/" + number + "/a\r\nfile:///tmp/soak/" + number +
                                     "/b%20c\r\nfile:///tmp/soak/" + number + "/d\r\n"};
    case 9:
        return {"image/tiff", imageBytes(QByteArray("II*\0", 4), 32 << 10, n)};
    default:
        return {"UTF8_STRING", "copy " + number + " of the soak"};
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int copies = argc > 1 ? QByteArray(argv[1]).toInt() : 10000;
    PrivateXServer server;
    std::unique_ptr<X11Pasteboard> pasteboard = X11Pasteboard::create();
    if (!server.isRunning() || !pasteboard) {
        std::fprintf(stderr, "no Xvfb or no X11 clipboard\n");
        return 1;
    }
    SilentSound sound;
    // Ticked by hand as soon as each copy is seen, rather than on the half-second grid, so that
    // every copy is captured and the soak takes minutes, not hours.
    ClipboardMonitor monitor(*pasteboard, sound);
    HistoryModel &history = *monitor.history();
    EventLoopGapMeter meter;
    meter.start();
    const auto start = Clock::now();
    qint64 worstGapMs = 0, stalledMs = 0;
    int missed = 0;
    std::printf("copies  RSS MiB  entries  held MiB  worst stall ms  stalled ms  missed  s\n");
    for (int n = 1; n <= copies; ++n) {
        const Copy copy = mixedCopy(n);
        const qint64 count = pasteboard->changeCount();
        const QUuid newest = history.entries().isEmpty() ? QUuid() : history.entries()[0].id;
        if (!setClipboardWithXclip(copy.type, copy.data) ||
            !spinUntil([&] { return pasteboard->changeCount() != count; }, 5000)) {
            ++missed;
            std::fprintf(stderr, "copy %d (%s) was not made\n", n, copy.type.constData());
            continue;
        }
        monitor.checkPasteboard();
        if (!spinUntil(
                [&] { return !history.entries().isEmpty() && history.entries()[0].id != newest; },
                5000)) {
            ++missed;
            std::fprintf(stderr, "copy %d (%s) was not captured\n", n, copy.type.constData());
        }
        if (n % 1000 == 0) {
            worstGapMs = std::max(worstGapMs, meter.longestGapMs());
            stalledMs += meter.stalledMs();
            std::printf("%6d  %7.1f  %7d  %8.1f  %14lld  %10lld  %6d  %.0f\n", n,
                        procStatusKiB("VmRSS:") / 1024.0, history.rowCount(),
                        history.heldBytes() / 1048576.0, qlonglong(meter.longestGapMs()),
                        qlonglong(meter.stalledMs()), missed,
                        msBetween(start, Clock::now()) / 1000);
            std::fflush(stdout);
            meter.start();
        }
    }
    std::printf("worst stall %lld ms, %lld ms in stalls over %lld ms, %d of %d copies missed, "
                "no crash\n",
                qlonglong(worstGapMs), qlonglong(stalledMs), qlonglong(EventLoopGapMeter::kFrameMs),
                missed, copies);
    return 0;
}
