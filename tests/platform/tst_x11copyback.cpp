#include "core/monitor.h"
#include "platform/memory/memorypasteboard.h"
#include "platform/systemservices.h"
#include "platform/x11/x11pasteboard.h"
#include "x11testsupport.h"

#include <QTest>

using tessary::Payload;
using tessary::X11Pasteboard;
using namespace tessary::testing;

Q_DECLARE_METATYPE(Payload)

// Target name -> the exact bytes a reader gets for it.
using Served = QMap<QByteArray, QByteArray>;

namespace {

class CountingSound : public tessary::SoundPlayer {
public:
    void playCopyConfirmation() override { ++confirmations; }
    void playErrorBeep() override {}
    int confirmations = 0;
};

QByteArray bigPng()
{
    QByteArray bytes("\x89PNG\r\n\x1a\n", 8);
    bytes.resize(5 << 20, 'x');
    return bytes;
}

QSet<QByteArray> targetsOnOffer()
{
    const std::optional<QByteArray> listing = readClipboardWithXclip("TARGETS");
    if (!listing)
        return {};
    const QList<QByteArray> lines = listing->trimmed().split('\n');
    return QSet<QByteArray>(lines.cbegin(), lines.cend());
}

} // namespace

class X11CopyBack : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void offersOneRepresentationByKind_data();
    void offersOneRepresentationByKind();
    void answersSeveralTargetsAtOnce();
    void copyBackIsNotCapturedAgain();
    void clipboardOutlivesItsOwner();
    void sessionWithAnXServerGetsTheX11Clipboard();

private:
    std::unique_ptr<PrivateXServer> m_server;
    std::unique_ptr<X11Pasteboard> m_pasteboard;
};

void X11CopyBack::initTestCase()
{
    m_server = std::make_unique<PrivateXServer>();
    QVERIFY2(m_server->isRunning(), "Xvfb did not start");
    m_pasteboard = X11Pasteboard::create({m_server->display()});
    QVERIFY(m_pasteboard);
}

void X11CopyBack::cleanupTestCase()
{
    m_pasteboard.reset();
    m_server.reset();
}

void X11CopyBack::offersOneRepresentationByKind_data()
{
    QTest::addColumn<Payload>("payload");
    QTest::addColumn<Served>("served");

    const QString text = QStringLiteral("  two\nlines café \n");
    const QByteArray utf8 = text.toUtf8();
    QTest::newRow("text, untrimmed, under the UTF-8 names and Latin-1 STRING")
        << Payload::text(text)
        << Served{{"UTF8_STRING", utf8},
                  {"text/plain;charset=utf-8", utf8},
                  {"text/plain", utf8},
                  {"TEXT", utf8},
                  {"STRING", text.toLatin1()}};

    const QList<QUrl> urls{QUrl::fromLocalFile("/tmp/c d.txt"), QUrl::fromLocalFile("/tmp/a"),
                           QUrl::fromLocalFile("/tmp/b")};
    QTest::newRow("three files, in order")
        << Payload::files(urls)
        << Served{{"text/uri-list", "file:///tmp/c%20d.txt\r\nfile:///tmp/a\r\nfile:///tmp/b\r\n"},
                  {"x-special/gnome-copied-files",
                   "copy\nfile:///tmp/c%20d.txt\nfile:///tmp/a\nfile:///tmp/b"}};

    const QByteArray png = QByteArray("\x89PNG\r\n\x1a\n", 8) + "pixels";
    QTest::newRow("PNG stays PNG") << Payload::image(png) << Served{{"image/png", png}};
    const QByteArray tiff = QByteArray("MM\0*", 4) + "pixels";
    QTest::newRow("TIFF stays TIFF") << Payload::image(tiff) << Served{{"image/tiff", tiff}};
    QTest::newRow("a large PNG goes out in pieces")
        << Payload::image(bigPng()) << Served{{"image/png", bigPng()}};
}

void X11CopyBack::offersOneRepresentationByKind()
{
    QFETCH(Payload, payload);
    QFETCH(Served, served);

    const qint64 before = m_pasteboard->changeCount();
    m_pasteboard->write(payload);
    QVERIFY(m_pasteboard->changeCount() != before);
    QVERIFY(m_pasteboard->ownsClipboard());

    QSet<QByteArray> expectedTargets{"TARGETS", "TIMESTAMP", "MULTIPLE"};
    for (auto it = served.cbegin(); it != served.cend(); ++it)
        expectedTargets.insert(it.key());
    QCOMPARE(targetsOnOffer(), expectedTargets);
    for (auto it = served.cbegin(); it != served.cend(); ++it) {
        const std::optional<QByteArray> read = readClipboardWithXclip(it.key());
        QVERIFY2(read, it.key());
        QVERIFY2(*read == it.value(), it.key());
    }
    QCOMPARE(readClipboardWithXclip("image/bmp"), std::nullopt);
    if (payload.kind() == Payload::Kind::Text)
        QCOMPARE(readClipboardWithXsel(), served.value("UTF8_STRING"));
}

void X11CopyBack::answersSeveralTargetsAtOnce()
{
    m_pasteboard->write(Payload::text("both ways"));
    const auto results = convertMultiple({"UTF8_STRING", "image/png", "TIMESTAMP"});
    QVERIFY(results);
    QCOMPARE(results->size(), 3);
    QCOMPARE(results->at(0), QByteArray("both ways"));
    QCOMPARE(results->at(1), std::nullopt);
    QVERIFY(results->at(2) && results->at(2)->size() == 4);
}

void X11CopyBack::copyBackIsNotCapturedAgain()
{
    CountingSound sound;
    tessary::ClipboardMonitor monitor(*m_pasteboard, sound);
    monitor.startMonitoring();
    for (const char *text : {"first", "second", "third"}) {
        const int rows = monitor.history()->rowCount();
        QVERIFY(setClipboardWithXclip("UTF8_STRING", text));
        QTRY_COMPARE_WITH_TIMEOUT(monitor.history()->rowCount(), rows + 1, 5000);
    }
    const QList<tessary::Entry> entries = monitor.history()->entries();

    monitor.copyRow(1);
    QCOMPARE(monitor.lastChangeCount(), m_pasteboard->changeCount());
    QCOMPARE(sound.confirmations, 1);
    QCOMPARE(readClipboardWithXclip("UTF8_STRING"), QByteArray("second"));
    // Several ticks later, our own ownership has been noticed but not counted again.
    QTest::qWait(1200);
    QCOMPARE(monitor.lastChangeCount(), m_pasteboard->changeCount());
    QCOMPARE(monitor.history()->entries().size(), entries.size());
    for (int row = 0; row < entries.size(); ++row)
        QCOMPARE(monitor.history()->entries().at(row).id, entries.at(row).id);

    // Another client copying afterwards is captured as usual.
    QVERIFY(setClipboardWithXclip("UTF8_STRING", "second"));
    QTRY_COMPARE_WITH_TIMEOUT(monitor.history()->entries().first().id != entries.at(0).id, true,
                              5000);
    QCOMPARE(monitor.history()->entries().first().payload, Payload::text("second"));
    QCOMPARE(monitor.history()->rowCount(), 3);
}

void X11CopyBack::clipboardOutlivesItsOwner()
{
    CountingSound sound;
    tessary::ClipboardMonitor monitor(*m_pasteboard, sound);
    monitor.startMonitoring();
    ForeignOwner editor(QList<ForeignOwner::Target>{{"UTF8_STRING", "unsaved paragraph"}});
    QVERIFY(editor.start());
    QTRY_COMPARE_WITH_TIMEOUT(monitor.history()->rowCount(), 1, 5000);
    const QUuid id = monitor.history()->entries().first().id;

    editor.exit();
    QTRY_VERIFY_WITH_TIMEOUT(m_pasteboard->ownsClipboard(), 5000);
    QCOMPARE(readClipboardWithXclip("UTF8_STRING"), QByteArray("unsaved paragraph"));
    QTest::qWait(600);
    QCOMPARE(monitor.history()->rowCount(), 1);
    QCOMPARE(monitor.history()->entries().first().id, id);
    QCOMPARE(sound.confirmations, 0); // silently
}

void X11CopyBack::sessionWithAnXServerGetsTheX11Clipboard()
{
    QVERIFY(qobject_cast<X11Pasteboard *>(tessary::createSystemPasteboard().get()));
    const QByteArray display = qgetenv("DISPLAY");
    qunsetenv("DISPLAY");
    const auto fallback = tessary::createSystemPasteboard();
    qputenv("DISPLAY", display);
    QVERIFY(qobject_cast<tessary::MemoryPasteboard *>(fallback.get()));
}

QTEST_GUILESS_MAIN(X11CopyBack)
#include "tst_x11copyback.moc"
