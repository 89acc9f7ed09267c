#include "core/monitor.h"
#include "platform/x11/x11pasteboard.h"
#include "x11testsupport.h"

#include <QElapsedTimer>
#include <QTest>

using tessary::Payload;
using tessary::X11Pasteboard;
using namespace tessary::testing;
using Target = ForeignOwner::Target;
using Behaviour = ForeignOwner::Behaviour;

Q_DECLARE_METATYPE(std::optional<Payload>)

namespace {

const QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8) + QByteArray(300, 'p');
const QByteArray tiff = QByteArray("II*\0", 4) + QByteArray(300, 't');

QByteArray pngOfSize(qsizetype size)
{
    QByteArray bytes = png.left(8);
    bytes.reserve(size);
    for (qsizetype i = bytes.size(); i < size; ++i)
        bytes.append(char((i * 131) >> 3));
    return bytes;
}

class SilentSound : public tessary::SoundPlayer {
public:
    void playCopyConfirmation() override {}
    void playErrorBeep() override {}
};

// Keeps the event loop turning, and records its longest gap between two turns.
class EventLoopGapMeter {
public:
    EventLoopGapMeter()
    {
        m_timer.setInterval(5);
        m_since.start();
        QObject::connect(&m_timer, &QTimer::timeout,
                         [this] { m_longestGap = std::max(m_longestGap, m_since.restart()); });
        m_timer.start();
    }
    qint64 longestGap() const { return m_longestGap; }

private:
    QTimer m_timer;
    QElapsedTimer m_since;
    qint64 m_longestGap = 0;
};

} // namespace

class X11Capture : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void capturesByPriorityReadingOnlyWhatItNeeds_data();
    void capturesByPriorityReadingOnlyWhatItNeeds();
    void capturesXclipContent_data();
    void capturesXclipContent();
    void capturesXselText();
    void largeImageArrivesIncrementally();
    void oversizedPayloadIsAbandoned();
    void hungOwnerBlocksNeitherTheGuiNorLaterChanges();
    void ownerDyingMidTransferLeavesNoEntry();

private:
    // Waits for the ownership change, then captures.
    std::optional<Payload> captureAfterChange(X11Pasteboard &pasteboard, qint64 countBefore);

    std::unique_ptr<PrivateXServer> m_server;
    std::unique_ptr<X11Pasteboard> m_pasteboard;
};

void X11Capture::initTestCase()
{
    m_server = std::make_unique<PrivateXServer>();
    QVERIFY2(m_server->isRunning(), "Xvfb did not start");
    m_pasteboard = X11Pasteboard::create({m_server->display()});
    QVERIFY(m_pasteboard);
}

void X11Capture::cleanupTestCase()
{
    m_pasteboard.reset();
    m_server.reset();
}

std::optional<Payload> X11Capture::captureAfterChange(X11Pasteboard &pasteboard, qint64 countBefore)
{
    QElapsedTimer waited;
    waited.start();
    while (pasteboard.changeCount() == countBefore && waited.elapsed() < 5000)
        QTest::qWait(5);
    if (pasteboard.changeCount() == countBefore) {
        qWarning("the change count did not move");
        return std::nullopt;
    }
    QFuture<std::optional<Payload>> future = pasteboard.capture();
    while (!future.isFinished() && waited.elapsed() < 10000)
        QTest::qWait(5);
    return future.isFinished() ? future.result() : std::nullopt;
}

void X11Capture::capturesByPriorityReadingOnlyWhatItNeeds_data()
{
    QTest::addColumn<QList<Target>>("targets");
    QTest::addColumn<std::optional<Payload>>("expected");
    QTest::addColumn<QStringList>("requests");

    const QByteArray twoFiles = "file:///tmp/a.txt\r\nfile:///tmp/b%20c.png\r\n";
    const QList<QUrl> twoUrls{QUrl("file:///tmp/a.txt"), QUrl("file:///tmp/b c.png")};
    QTest::newRow("files with their names and an icon")
        << QList<Target>{{"image/png", png}, {"text/uri-list", twoFiles}, {"UTF8_STRING", "a b"}}
        << std::optional(Payload::files(twoUrls)) << QStringList{"TARGETS", "text/uri-list"};
    QTest::newRow("a file manager offering only its own list")
        << QList<Target>{{"x-special/gnome-copied-files", "copy\nfile:///tmp/a.txt"},
                         {"UTF8_STRING", "a.txt"}}
        << std::optional(Payload::files({QUrl("file:///tmp/a.txt")}))
        << QStringList{"TARGETS", "x-special/gnome-copied-files"};
    QTest::newRow("a file and a web link: image instead")
        << QList<Target>{{"text/uri-list", "file:///tmp/a\r\nhttps://example.org/\r\n"},
                         {"image/tiff", tiff},
                         {"UTF8_STRING", "x"}}
        << std::optional(Payload::image(tiff))
        << QStringList{"TARGETS", "text/uri-list", "image/tiff"};
    QTest::newRow("a web link alone: its text")
        << QList<Target>{{"text/uri-list", "https://example.org/\r\n"},
                         {"UTF8_STRING", "https://example.org/"}}
        << std::optional(Payload::text("https://example.org/"))
        << QStringList{"TARGETS", "text/uri-list", "UTF8_STRING"};
    QTest::newRow("TIFF over PNG")
        << QList<Target>{{"image/png", png}, {"image/tiff", tiff}}
        << std::optional(Payload::image(tiff)) << QStringList{"TARGETS", "image/tiff"};
    QTest::newRow("PNG over text")
        << QList<Target>{{"UTF8_STRING", "alt text"}, {"image/png", png}}
        << std::optional(Payload::image(png)) << QStringList{"TARGETS", "image/png"};
    QTest::newRow("explicit UTF-8 text type first")
        << QList<Target>{{"STRING", "latin"},
                         {"UTF8_STRING", "utf8"},
                         {"text/plain;charset=utf-8", "  mime\n"}}
        << std::optional(Payload::text("  mime\n"))
        << QStringList{"TARGETS", "text/plain;charset=utf-8"};
    QTest::newRow("STRING read as Latin-1")
        << QList<Target>{{"STRING", "caf\xe9"}} << std::optional(Payload::text("café"))
        << QStringList{"TARGETS", "STRING"};
    QTest::newRow("invalid UTF-8 becomes replacement characters")
        << QList<Target>{{"UTF8_STRING", "ok\xff"}}
        << std::optional(Payload::text(QString("ok") + QChar::ReplacementCharacter))
        << QStringList{"TARGETS", "UTF8_STRING"};
    QTest::newRow("blank text: nothing")
        << QList<Target>{{"UTF8_STRING", " \t\n"}} << std::optional<Payload>()
        << QStringList{"TARGETS", "UTF8_STRING"};
    QTest::newRow("a password manager's secret: nothing")
        << QList<Target>{{"UTF8_STRING", "hunter2"}, {"x-kde-passwordManagerHint", "secret"}}
        << std::optional<Payload>() << QStringList{"TARGETS", "x-kde-passwordManagerHint"};
}

void X11Capture::capturesByPriorityReadingOnlyWhatItNeeds()
{
    QFETCH(QList<Target>, targets);
    QFETCH(std::optional<Payload>, expected);
    QFETCH(QStringList, requests);

    const qint64 before = m_pasteboard->changeCount();
    ForeignOwner owner(targets);
    QVERIFY(owner.start());
    const std::optional<Payload> captured = captureAfterChange(*m_pasteboard, before);
    QCOMPARE(captured.has_value(), expected.has_value());
    if (expected)
        QVERIFY(*captured == *expected);
    QCOMPARE(owner.requests(), requests);
}

void X11Capture::capturesXclipContent_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<std::optional<Payload>>("expected");

    QTest::newRow("text") << QByteArray("UTF8_STRING") << QByteArray("  h\xc3\xa9llo\n")
                          << std::optional(Payload::text("  héllo\n"));
    QTest::newRow("PNG") << QByteArray("image/png") << png << std::optional(Payload::image(png));
    QTest::newRow("TIFF") << QByteArray("image/tiff") << tiff
                          << std::optional(Payload::image(tiff));
    QTest::newRow("files") << QByteArray("text/uri-list")
                           << QByteArray("file:///tmp/x\r\nfile:///tmp/y\r\n")
                           << std::optional(
                                  Payload::files({QUrl("file:///tmp/x"), QUrl("file:///tmp/y")}));
}

void X11Capture::capturesXclipContent()
{
    QFETCH(QByteArray, target);
    QFETCH(QByteArray, data);
    QFETCH(std::optional<Payload>, expected);

    const qint64 before = m_pasteboard->changeCount();
    QVERIFY(setClipboardWithXclip(target, data));
    const std::optional<Payload> captured = captureAfterChange(*m_pasteboard, before);
    QVERIFY(captured);
    QVERIFY(*captured == *expected);
}

void X11Capture::capturesXselText()
{
    const qint64 before = m_pasteboard->changeCount();
    QVERIFY(setClipboardWithXsel("\tindented \xe2\x82\xac\n"));
    const std::optional<Payload> captured = captureAfterChange(*m_pasteboard, before);
    QVERIFY(captured);
    QCOMPARE(captured->text(), QStringLiteral("\tindented €\n"));
}

void X11Capture::largeImageArrivesIncrementally()
{
    const QByteArray big = pngOfSize(30 << 20);
    const qint64 before = m_pasteboard->changeCount();
    QVERIFY(setClipboardWithXclip("image/png", big));
    const std::optional<Payload> captured = captureAfterChange(*m_pasteboard, before);
    QVERIFY(captured);
    QCOMPARE(captured->imageBytes().size(), big.size());
    QVERIFY(captured->imageBytes() == big);
}

void X11Capture::oversizedPayloadIsAbandoned()
{
    // Not even the text behind the abandoned image is taken: the content is left alone.
    auto pasteboard =
        X11Pasteboard::create({m_server->display(), std::chrono::seconds(2), 1 << 20});
    QVERIFY(pasteboard);
    for (int incrementSize : {4 << 20, 64 << 10}) {
        const qint64 before = pasteboard->changeCount();
        ForeignOwner owner({{"image/png", pngOfSize(2 << 20)}, {"UTF8_STRING", "text"}},
                           Behaviour::Answer, incrementSize);
        QVERIFY(owner.start());
        QCOMPARE(captureAfterChange(*pasteboard, before).has_value(), false);
    }
}

void X11Capture::hungOwnerBlocksNeitherTheGuiNorLaterChanges()
{
    SilentSound sound;
    tessary::ClipboardMonitor monitor(*m_pasteboard, sound);
    monitor.startMonitoring();
    EventLoopGapMeter meter;
    ForeignOwner hung({{"UTF8_STRING", "never sent"}}, Behaviour::NeverAnswer);
    QVERIFY(hung.start());

    // The read gives up after its timeout; meanwhile the event loop keeps turning.
    QTest::qWait(2600);
    QCOMPARE(monitor.history()->rowCount(), 0);
    QCOMPARE_LT(meter.longestGap(), 250);

    QVERIFY(setClipboardWithXclip("UTF8_STRING", "after the hang"));
    QTRY_COMPARE_WITH_TIMEOUT(monitor.history()->rowCount(), 1, 5000);
    QCOMPARE(monitor.history()->entries().first().payload, Payload::text("after the hang"));
}

void X11Capture::ownerDyingMidTransferLeavesNoEntry()
{
    SilentSound sound;
    tessary::ClipboardMonitor monitor(*m_pasteboard, sound);
    monitor.startMonitoring();
    ForeignOwner dying({{"image/png", pngOfSize(1 << 20)}}, Behaviour::DieMidTransfer);
    QVERIFY(dying.start());
    QTest::qWait(800);
    QCOMPARE(monitor.history()->rowCount(), 0);

    QVERIFY(setClipboardWithXclip("UTF8_STRING", "next"));
    QTRY_COMPARE_WITH_TIMEOUT(monitor.history()->rowCount(), 1, 5000);
}

QTEST_GUILESS_MAIN(X11Capture)
#include "tst_x11capture.moc"
