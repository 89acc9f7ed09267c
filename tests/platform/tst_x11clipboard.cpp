#include "clipboardcontract.h"
#include "core/monitor.h"
#include "platform/x11/selectionowner.h"
#include "platform/x11/x11pasteboard.h"
#include "platform/x11/xcbsupport.h"
#include "support/memory.h"
#include "x11testsupport.h"

#include <QSignalSpy>
#include <QTest>

using tessary::Payload;
using namespace tessary::testing;
using Targets = QList<ForeignOwner::Target>;
using Behaviour = ForeignOwner::Behaviour;

using Maybe = MaybePayload;

namespace {

// xclip, and editors that own the clipboard until they quit.
class X11Peer : public ClipboardPeer {
    std::unique_ptr<ForeignOwner> m_editor, m_next;

    static bool own(std::unique_ptr<ForeignOwner> &owner, const QByteArray &text)
    {
        owner = std::make_unique<ForeignOwner>(Targets{{"UTF8_STRING", text}});
        return owner->start();
    }

public:
    bool copy(const QByteArray &text) override
    {
        return setClipboardWithXclip("UTF8_STRING", text);
    }
    std::optional<QByteArray> paste() override { return readClipboardWithXclip("UTF8_STRING"); }
    bool startEditor(const QByteArray &text) override { return own(m_editor, text); }
    void quitEditor() override { m_editor.reset(); }
    // The next owner takes the clipboard before the event loop turns.
    bool quitEditorAndCopy(const QByteArray &text) override
    {
        quitEditor();
        return own(m_next, text);
    }
};

} // namespace

class X11Clipboard : public QObject {
    Q_OBJECT
    std::unique_ptr<PrivateXServer> m_server;
    std::unique_ptr<tessary::X11Pasteboard> m_pasteboard;
    std::unique_ptr<tessary::X11Pasteboard> m_strict; // gives up sooner, on smaller payloads

private slots:
    void initTestCase()
    {
        m_server = std::make_unique<PrivateXServer>();
        QVERIFY2(m_server->isRunning(), "Xvfb did not start");
        m_pasteboard = tessary::X11Pasteboard::create({m_server->display()});
        m_strict = tessary::X11Pasteboard::create(
            {m_server->display(), std::chrono::milliseconds(500), 1 << 20});
        QVERIFY(m_pasteboard && m_strict);
    }

    void capturesByPriorityReadingOnlyWhatItNeeds_data()
    {
        addCaptureRows<ForeignOwner::Target>("xclip", "UTF8_STRING", true);
    }

    void capturesByPriorityReadingOnlyWhatItNeeds()
    {
        QFETCH(Targets, offers);
        QFETCH(Maybe, expected);
        QFETCH(QStringList, requests);
        const bool xclip = requests.isEmpty();

        const qint64 before = m_pasteboard->changeCount();
        QSignalSpy noticed(m_pasteboard.get(), &tessary::Pasteboard::changeNoticed);
        ForeignOwner owner(offers);
        QVERIFY(xclip ? setClipboardWithXclip(offers[0].name, offers[0].data) : owner.start());
        QVERIFY(QTest::qWaitFor([&] { return m_pasteboard->changeCount() != before; }, 5000));
        QVERIFY(!noticed.isEmpty()); // the monitor sleeps until told
        QVERIFY(captureNow(*m_pasteboard) == expected);
        owner.exit();
        QCOMPARE(owner.requests(), requests);
    }

    void failedReadBlocksNeitherTheGuiNorLaterChanges_data()
    {
        QTest::addColumn<Behaviour>("behaviour");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("incrementSize");
        QTest::newRow("owner never answers") << Behaviour::NeverAnswer << (256 << 10) << (64 << 10);
        QTest::newRow("owner dies mid-transfer")
            << Behaviour::DieMidTransfer << (256 << 10) << (64 << 10);
        QTest::newRow("too large, whole") << Behaviour::Answer << (2 << 20) << (4 << 20);
        QTest::newRow("too large, in pieces") << Behaviour::Answer << (2 << 20) << (64 << 10);
        QTest::newRow("empty TARGETS") << Behaviour::EmptyTargets << 300 << (64 << 10);
        QTest::newRow("an incremental answer without end")
            << Behaviour::EndlessIncrement << 300 << 300;
    }

    void failedReadBlocksNeitherTheGuiNorLaterChanges()
    {
        QFETCH(Behaviour, behaviour);
        QFETCH(int, size);
        QFETCH(int, incrementSize);
        CountingSound sound;
        tessary::ClipboardMonitor monitor(*m_strict, sound);
        monitor.startMonitoring();
        // Not even the text behind an abandoned image is taken.
        ForeignOwner owner({{"image/png", pngOfSize(size)}, {"UTF8_STRING", "text"}}, behaviour,
                           incrementSize);
        QVERIFY(owner.start());
        QVERIFY(
            QTest::qWaitFor([&] { return monitor.lastChangeCount() == m_strict->changeCount(); }));
        // Reads run one at a time: once this one ends, the monitor's has ended too.
        QFuture<std::optional<Payload>> captured = m_strict->capture();
        bool turnedWhileReading = false;
        QTimer::singleShot(0, [&] { turnedWhileReading = !captured.isFinished(); });
        QVERIFY(QTest::qWaitFor([&] { return captured.isFinished(); }, 5000));
        QVERIFY(!captured.result());
        QCOMPARE(monitor.history()->rowCount(), 0);
        if (behaviour == Behaviour::NeverAnswer) // the event loop turned while the owner hung
            QVERIFY(turnedWhileReading);

        QVERIFY(setClipboardWithXclip("UTF8_STRING", "next"));
        QTRY_COMPARE_WITH_TIMEOUT(monitor.history()->rowCount(), 1, 5000);
        QCOMPARE(monitor.history()->entries().first().payload, Payload::text("next"));
    }

    // Answers of odd types and formats are read for the bytes they hold: TARGETS as bytes with a
    // partial atom at the end, a text in 32-bit units (what does not fill one is not sent).
    void oddTypesAndFormatsAreReadForWhatTheyHold()
    {
        ForeignOwner owner({{"image/png", png}, {"UTF8_STRING", "thirteen byte"}},
                           Behaviour::OddFormats);
        const qint64 before = m_pasteboard->changeCount();
        QVERIFY(owner.start());
        QVERIFY(QTest::qWaitFor([&] { return m_pasteboard->changeCount() != before; }, 5000));
        QCOMPARE(captureNow(*m_pasteboard), Maybe(Payload::image(png.left(png.size() / 4 * 4))));
    }

    // An owner taking the clipboard a thousand times a second: the event loop goes on turning,
    // the history holds distinct texts of that owner, no more than fifty, and once the flood
    // ends the text on offer last is the newest entry; memory does not grow with the changes.
    void aThousandOwnerChangesASecond()
    {
        CountingSound sound;
        tessary::ClipboardMonitor monitor(*m_pasteboard, sound);
        monitor.startMonitoring();
        const qint64 residentKiB = procStatusKiB("VmRSS:");
        int turns = 0;
        QTimer turning;
        turning.setInterval(1);
        QObject::connect(&turning, &QTimer::timeout, [&] { ++turns; });
        ForeignOwner flood(Targets{{"UTF8_STRING", "flood 0"}});
        QVERIFY(flood.start());
        flood.takeAgainPerSecond(1000);
        turning.start();
        QTest::qWait(3000);
        const int changes = flood.takeAgainPerSecond(0);
        QVERIFY2(turns >= 100, qPrintable(QString::number(turns)));
        QVERIFY(changes >= 1000);
        const auto newest = [&] {
            const QList<tessary::Entry> &entries = monitor.history()->entries();
            return entries.isEmpty() ? QByteArray() : entries.first().payload.text().toLatin1();
        };
        QTRY_COMPARE_WITH_TIMEOUT(newest(), flood.lastText(), 10000);
        QSet<QString> texts;
        for (const tessary::Entry &entry : monitor.history()->entries()) {
            QVERIFY(entry.payload.text().startsWith(u"flood "));
            texts.insert(entry.payload.text());
        }
        QCOMPARE(texts.size(), monitor.history()->rowCount());
        QCOMPARE_LE(monitor.history()->rowCount(), tessary::ClipboardMonitor::kMaxHistory);
        QCOMPARE_LT(procStatusKiB("VmRSS:") - residentKiB, 32 << 10);
    }

    void anAnswerThatChangesWhileItIsReadIsNotTaken()
    {
        // Nothing, or exactly what the owner answered: never what it appended since.
        const QByteArray answer(12 << 20, 'a');
        ForeignOwner owner({{"UTF8_STRING", answer}}, Behaviour::KeepAppending, 1 << 20);
        const qint64 before = m_pasteboard->changeCount();
        QVERIFY(owner.start());
        QVERIFY(QTest::qWaitFor([&] { return m_pasteboard->changeCount() != before; }, 5000));
        const Maybe payload = captureNow(*m_pasteboard);
        QCOMPARE(payload ? payload->text().size() : 0, payload ? answer.size() : 0);
    }

    void copyBackOffersOneRepresentationByKind_data() { addCopyBackRows(5 << 20); }

    void copyBackOffersOneRepresentationByKind()
    {
        QFETCH(Payload, payload);
        QFETCH(Served, served);

        m_pasteboard->write(payload);
        QVERIFY(m_pasteboard->ownsClipboard());
        const QList<QByteArray> offered =
            readClipboardWithXclip("TARGETS").value_or("").trimmed().split('\n');
        for (auto it = served.cbegin(); it != served.cend(); ++it)
            QVERIFY2(readClipboardWithXclip(it.key()) == it.value(), it.key());
        QCOMPARE(QSet(offered.cbegin(), offered.cend()),
                 (QSet(served.keyBegin(), served.keyEnd()) << "TARGETS"
                                                           << "TIMESTAMP"
                                                           << "MULTIPLE"));
    }

    void imagesOfAnUnknownSignatureKeepTheTypeTheyCameWith()
    {
        const QByteArray jpeg = QByteArray("\xff\xd8\xff\xe0\0\x10JFIF", 10) + QByteArray(300, 'j');
        CountingSound sound;
        tessary::ClipboardMonitor monitor(*m_pasteboard, sound);
        monitor.startMonitoring();
        ForeignOwner owner({{"image/png", jpeg}});
        QVERIFY(owner.start());
        QTRY_COMPARE_WITH_TIMEOUT(monitor.history()->rowCount(), 1, 5000);
        monitor.copyRow(0);
        QVERIFY(readClipboardWithXclip("TARGETS").value_or("").split('\n').contains("image/png"));
        QCOMPARE(readClipboardWithXclip("image/png"), jpeg);
    }

    void aRestoredEntryIsNotEncodedAgain()
    {
        using namespace tessary::x11;
        xcb_connection_t *connection = xcb_connect(m_server->display(), nullptr);
        Atoms atoms;
        QVERIFY(atoms.intern(connection));
        SelectionOwner owner(connection, atoms, createPrivateWindow(connection));
        const Payload newest = Payload::text(QString(1 << 20, QChar(0xe9)));
        owner.offer(newest, XCB_CURRENT_TIME);
        const QByteArray served = owner.answer(atoms.utf8String);
        owner.clear(); // another client took the clipboard and quit: the newest comes back
        owner.offer(newest, XCB_CURRENT_TIME);
        QVERIFY(owner.answer(atoms.utf8String).isSharedWith(served));
        QCOMPARE(served, newest.text().toUtf8());
        xcb_disconnect(connection);
    }

    void aMultipleRequestGetsOneIncrementAtOnceAndTheRestInPieces()
    {
        using namespace tessary::x11;
        const QByteArray text(1 << 20, 'm');
        m_pasteboard->write(Payload::text(QString::fromLatin1(text)));
        xcb_connection_t *c = xcb_connect(m_server->display(), nullptr);
        Atoms atoms;
        QVERIFY(atoms.intern(c));
        const xcb_window_t window = createPrivateWindow(c);
        const auto nextEvent = [&](quint8 type) {
            EventPtr found;
            const auto arrived = [&] {
                while (EventPtr event{xcb_poll_for_event(c)}) {
                    if (eventType(event.get()) == type) {
                        found = std::move(event);
                        return true;
                    }
                }
                return false;
            };
            return QTest::qWaitFor(arrived) ? std::move(found) : nullptr;
        };
        const auto takeProperty = [&](xcb_atom_t property, bool remove) {
            XcbPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
                c, xcb_get_property(c, remove, window, property, 0, 0, UINT32_MAX / 4), nullptr));
            xcb_flush(c);
            return reply;
        };

        // Eight conversions of the same 1 MiB in one request.
        QList<xcb_atom_t> pairs;
        for (int i = 0; i < 8; ++i)
            pairs << atoms.utf8String << internAtom(c, ("PAIR_" + QByteArray::number(i)).data());
        const xcb_atom_t list = internAtom(c, "PAIRS");
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, list, atoms.atomPair, 32,
                            pairs.size(), pairs.constData());
        xcb_convert_selection(c, window, atoms.clipboard, atoms.multiple, list, XCB_CURRENT_TIME);
        xcb_flush(c);
        QVERIFY(nextEvent(XCB_SELECTION_NOTIFY));
        QList<xcb_atom_t> types;
        for (int i = 1; i < pairs.size(); i += 2)
            types << takeProperty(pairs[i], false)->type;
        QCOMPARE(types.count(atoms.utf8String), 1);
        QCOMPARE(types.count(atoms.incr), 7);

        // An incremental one arrives intact: each deletion asks for the next piece.
        const xcb_atom_t incremental = pairs[2 * types.indexOf(atoms.incr) + 1];
        QByteArray received;
        xcb_delete_property(c, window, incremental);
        xcb_flush(c);
        for (;;) {
            EventPtr event = nextEvent(XCB_PROPERTY_NOTIFY);
            QVERIFY(event);
            auto notify = reinterpret_cast<xcb_property_notify_event_t *>(event.get());
            if (notify->atom != incremental || notify->state != XCB_PROPERTY_NEW_VALUE)
                continue;
            const auto piece = takeProperty(incremental, true);
            const int length = xcb_get_property_value_length(piece.get());
            if (length == 0)
                break;
            received.append(static_cast<const char *>(xcb_get_property_value(piece.get())), length);
        }
        QCOMPARE(received, text);
        xcb_disconnect(c);
    }

    void copyBackIsNotCapturedAgain()
    {
        X11Peer peer;
        contract::copyBackIsNotCapturedAgain(*m_pasteboard, peer);
    }

    void clipboardOutlivesItsOwner()
    {
        X11Peer peer;
        contract::clipboardOutlivesItsOwner(*m_pasteboard, peer);
    }

    void aCopyRightAfterItsOwnerQuitIsNotCoveredByTheRestore()
    {
        X11Peer peer;
        contract::aCopyRightAfterItsOwnerQuitIsNotCoveredByTheRestore(*m_pasteboard, peer);
    }
};

QTEST_GUILESS_MAIN(X11Clipboard)
#include "tst_x11clipboard.moc"
