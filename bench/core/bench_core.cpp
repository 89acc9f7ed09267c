// Costs on the monitor's hot paths: the idle tick, de-duplication against large images and
// large non-ASCII texts, and comparing equal-length images. Prints one line per figure.

#include "core/monitor.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPromise>
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

// A clipboard whose every change offers a payload built beforehand, as a backend's reader
// thread builds it: what remains is the monitor's own work on the GUI thread.
class PreparedClipboard : public Pasteboard {
public:
    qint64 changeCount() const override { return m_count; }
    QFuture<std::optional<Payload>> capture() override
    {
        QPromise<std::optional<Payload>> promise;
        promise.start();
        promise.addResult(m_payload);
        promise.finish();
        return promise.future();
    }
    void write(const Payload &) override {}
    void offer(Payload payload)
    {
        m_payload = std::move(payload);
        ++m_count;
    }

private:
    qint64 m_count = 0;
    std::optional<Payload> m_payload;
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

double millisecondsFor(auto &&work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return double(timer.nsecsElapsed()) / 1e6;
}

// About 2 MB of UTF-8 French prose, precomposed as typed.
QString frenchText(int variant)
{
    const QString paragraph = QStringLiteral(
        "Le lendemain matin, nous sommes partis de bonne heure pour traverser la vallée avant "
        "la chaleur. Les enfants marchaient devant, le chien courait entre les arbres, et mon "
        "père racontait comment il avait appris à nager dans la rivière quand il était "
        "petit. %1\n");
    QString text;
    while (text.size() < 1'900'000)
        text += paragraph.arg(variant);
    return text;
}

void deduplicationAgainstLargeFrenchText()
{
    Mute mute;
    const QString text = frenchText(1);
    std::optional<Payload> built;
    const double buildMs = millisecondsFor([&] { built = Payload::text(text); });
    const Payload french = *built;
    const QString accents(1'000'000, QChar(0xe9));
    const double accentsMs = millisecondsFor([&] { built = Payload::text(accents); });
    PreparedClipboard clipboard;
    ClipboardMonitor monitor(clipboard, mute);
    for (int i = 0; i < 4; ++i) {
        clipboard.offer(Payload::text(QStringLiteral("entrée n° %1").arg(i)));
        monitor.checkPasteboard();
        QCoreApplication::processEvents();
    }
    const auto copy = [&](Payload payload) {
        clipboard.offer(std::move(payload));
        return millisecondsFor([&] {
            monitor.checkPasteboard();
            QCoreApplication::processEvents();
        });
    };
    const double firstMs = copy(french);
    const double laterMs = copy(Payload::text(QStringLiteral("dix octets")));
    const double againMs = copy(Payload::text(frenchText(1)));
    std::printf("2 MB of French text (%lld characters): building the payload %.1f ms (reader "
                "thread);\n  on the GUI thread: its copy %.1f ms, a later 10-byte copy %.1f ms, "
                "the same text again %.1f ms\n"
                "  building a payload of 1 M \"é\" (it decomposes to twice its length) %.1f ms\n",
                qlonglong(french.text().size()), buildMs, firstMs, laterMs, againMs, accentsMs);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    idleTick();
    deduplicationAgainstLargeImages();
    deduplicationAgainstLargeFrenchText();
    equalLengthCompare();
    return 0;
}
