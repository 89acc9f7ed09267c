// Costs on the monitor's hot paths: the idle tick, de-duplication against large images, and
// comparing equal-length images. Prints one line per figure.

#include "core/monitor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {
std::atomic<long> allocations{0};
}

void *operator new(std::size_t size)
{
    ++allocations;
    if (void *p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void *p) noexcept
{
    std::free(p);
}
void operator delete(void *p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

using namespace tessary;

class IdleClipboard : public Pasteboard {
public:
    qint64 changeCount() const override { return 7; }
    QFuture<std::optional<Payload>> capture() override { return {}; }
    void write(const Payload &) override {}
};

class Mute : public SoundPlayer {
public:
    void playCopyConfirmation() override {}
    void playErrorBeep() override {}
};

template <typename F> double nanosecondsPer(long iterations, F &&work)
{
    QElapsedTimer timer;
    timer.start();
    for (long i = 0; i < iterations; ++i)
        work();
    return double(timer.nsecsElapsed()) / double(iterations);
}

void idleTick()
{
    IdleClipboard clipboard;
    Mute mute;
    ClipboardMonitor monitor(clipboard, mute);
    constexpr long ticks = 1'000'000;
    const long before = allocations;
    const double ns = nanosecondsPer(ticks, [&] { monitor.checkPasteboard(); });
    std::printf("idle tick: %.1f ns, %.3f allocations per tick\n", ns,
                double(allocations - before) / ticks);
}

void deduplicationAgainstLargeImages()
{
    constexpr qsizetype tenMegabytes = 10 * 1024 * 1024;
    QList<Payload> history;
    for (int i = 0; i < 50; ++i)
        history.append(Payload::image(QByteArray(tenMegabytes + i, char(i))));
    const Payload incoming = Payload::image(QByteArray(tenMegabytes + 50, 'x'));
    int equal = 0;
    const double ns = nanosecondsPer(10'000, [&] {
        for (const Payload &entry : history)
            equal += entry == incoming;
    });
    std::printf("de-duplication over 50 entries of 10 MB (distinct lengths): %.1f ns per entry "
                "(%d equal)\n",
                ns / 50, equal);
}

void equalLengthCompare()
{
    constexpr qsizetype size = 256 * 1024 * 1024;
    const QByteArray a(size, 'q');
    QByteArray b(size, 'q'); // equal content, separate storage: every byte is read
    b.detach();
    QByteArray copy(size, 0);
    int equal = 0;
    const double compareNs =
        nanosecondsPer(8, [&] { equal += Payload::image(a) == Payload::image(b); });
    const double copyNs = nanosecondsPer(8, [&] { std::memcpy(copy.data(), a.constData(), size); });
    const double gib = double(size) / (1 << 30);
    std::printf("equal-length image compare: %.2f GiB/s (memcpy here: %.2f GiB/s; %d equal)\n",
                gib / (compareNs * 1e-9), gib / (copyNs * 1e-9), equal);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    idleTick();
    deduplicationAgainstLargeImages();
    equalLengthCompare();
    return 0;
}
