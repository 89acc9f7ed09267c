#include "clipboardcontract.h"
#include "core/monitor.h"
#include "platform/wayland/waylandpasteboard.h"
#include "waylandtestsupport.h"

#include <QSignalSpy>
#include <QTest>
#include <csignal>

using tessary::Payload;
using tessary::WaylandPasteboard;
using namespace tessary::testing;
using Offers = QList<ForeignSource::Offer>;
using Maybe = MaybePayload;

namespace {

enum class FailingSource { Hung, Trickling, TooLarge };

} // namespace

class WaylandClipboard : public QObject {
    Q_OBJECT
    std::unique_ptr<PrivateCompositor> m_sway;
    std::unique_ptr<WaylandPasteboard> m_pasteboard;
    std::unique_ptr<WaylandPasteboard> m_strict; // gives up sooner, on smaller payloads

    bool copyText(const QByteArray &text) { return copyWithWlCopy(*m_sway, {}, text); }

    // The types wl-paste sees on offer. Once it sees them, the compositor has announced the
    // offer to every client, our pasteboards included.
    QByteArrayList typesOnOffer()
    {
        return pasteWithWlPaste(*m_sway, {"--list-types"}).value_or("").trimmed().split('\n');
    }

    // The same, from our own offer only (nothing while another client's offer, which may list
    // the same types, is still there), less the private type that marks our offers.
    QSet<QByteArray> ourOfferedTypes()
    {
        QByteArrayList types = typesOnOffer();
        const qsizetype marks = types.removeIf(
            [](const QByteArray &type) { return type.startsWith("application/x-tessary-owner-"); });
        return marks == 1 ? QSet(types.cbegin(), types.cend()) : QSet<QByteArray>();
    }

private slots:
    void initTestCase()
    {
        m_sway = std::make_unique<PrivateCompositor>(PrivateCompositor::Kind::Sway);
        QVERIFY2(m_sway->isRunning(), "sway did not start");
        const auto wlr = WaylandPasteboard::Protocol::Wlr;
        m_pasteboard = WaylandPasteboard::create({m_sway->socket(), wlr});
        m_strict = WaylandPasteboard::create(
            {m_sway->socket(), wlr, std::chrono::milliseconds(500), 1 << 20});
        QVERIFY(m_pasteboard && m_strict);
    }

    void capturesByPriorityReadingOnlyWhatItNeeds_data()
    {
        addCaptureRows<ForeignSource::Offer>("wl-copy", "text/plain", false);
    }

    void capturesByPriorityReadingOnlyWhatItNeeds()
    {
        QFETCH(Offers, offers);
        QFETCH(Maybe, expected);
        QFETCH(QStringList, requests);
        const bool wlCopy = requests.isEmpty();

        // The move is announced, once the count tells it: the monitor sleeps until told.
        const qint64 before = m_pasteboard->changeCount();
        bool announced = false;
        const auto notice = connect(m_pasteboard.get(), &tessary::Pasteboard::changeNoticed, this,
                                    [&] { announced |= m_pasteboard->changeCount() != before; });
        ForeignSource source(m_sway->socket(), offers);
        QVERIFY(wlCopy ? copyWithWlCopy(*m_sway, {"--type", offers[0].mimeType}, offers[0].data)
                       : source.start());
        QTRY_VERIFY_WITH_TIMEOUT(announced, 5000);
        disconnect(notice);
        QVERIFY(captureNow(*m_pasteboard) == expected);
        if (wlCopy)
            return; // wl-copy serves on until the next row's copy replaces it
        // The source leaves the clipboard empty; the next row starts after that change.
        const qint64 held = m_pasteboard->changeCount();
        source.exit();
        QCOMPARE(source.requests(), requests);
        QTRY_VERIFY_WITH_TIMEOUT(m_pasteboard->changeCount() != held, 5000);
    }

    void startingStateAndPrimarySelectionAreNoChange()
    {
        QVERIFY(copyText("on the clipboard before we start"));
        auto pasteboard =
            WaylandPasteboard::create({m_sway->socket(), WaylandPasteboard::Protocol::Wlr});
        QVERIFY(pasteboard);
        QCOMPARE(pasteboard->changeCount(), 0);
        // Selected text arrives before the copy: had it counted, the count would pass 1.
        QVERIFY(copyWithWlCopy(*m_sway, {"--primary"}, "only selected"));
        QVERIFY(copyText("copied"));
        QTRY_COMPARE_WITH_TIMEOUT(pasteboard->changeCount(), 1, 5000);
        QCOMPARE(captureNow(*pasteboard), Maybe(Payload::text("copied")));
        QCOMPARE(pasteboard->changeCount(), 1);
    }

    void failedReadBlocksNeitherTheGuiNorLaterChanges_data()
    {
        QTest::addColumn<FailingSource>("failing");
        QTest::newRow("a source that never answers (stopped)") << FailingSource::Hung;
        QTest::newRow("a source that trickles forever") << FailingSource::Trickling;
        QTest::newRow("too large") << FailingSource::TooLarge;
    }

    void failedReadBlocksNeitherTheGuiNorLaterChanges()
    {
        QFETCH(FailingSource, failing);
        // Not even the text behind an unreadable image is taken.
        ForeignSource trickling(m_sway->socket(), {{"image/png", png}, {"text/plain", "text"}},
                                ForeignSource::Behaviour::Trickle);
        QProcess hung;
        hung.setProcessEnvironment(m_sway->clientEnvironment());
        if (failing == FailingSource::Trickling)
            QVERIFY(trickling.start());
        else if (failing == FailingSource::TooLarge)
            QVERIFY(copyWithWlCopy(*m_sway, {"--type", "image/png"}, pngOfSize(2 << 20)));
        else
            hung.start("wl-copy", {"--foreground", "--type", "image/png", "hung"});
        QTRY_COMPARE_WITH_TIMEOUT(typesOnOffer().first(), QByteArray("image/png"), 5000);
        if (failing == FailingSource::Hung)
            ::kill(pid_t(hung.processId()), SIGSTOP);

        QFuture<Maybe> failed = m_strict->capture();
        if (failing != FailingSource::TooLarge)
            QVERIFY(!failed.isFinished()); // the GUI thread does not wait for the read
        // A trickle makes progress: the read goes on until a newer copy supersedes it.
        if (failing != FailingSource::Trickling)
            QTRY_VERIFY_WITH_TIMEOUT(failed.isFinished(), 5000);
        QVERIFY(copyText("next"));
        QTRY_VERIFY_WITH_TIMEOUT(failed.isFinished(), 5000);
        QCOMPARE(failed.result(), Maybe());
        QTRY_COMPARE_WITH_TIMEOUT(captureNow(*m_strict), Maybe(Payload::text("next")), 5000);
        hung.kill();
        hung.waitForFinished();
    }

    void copyBackOffersOneRepresentationByKind_data() { addCopyBackRows(30 << 20); }

    void copyBackOffersOneRepresentationByKind()
    {
        QFETCH(Payload, payload);
        QFETCH(Served, served);

        m_pasteboard->write(payload);
        QVERIFY(m_pasteboard->ownsClipboard());
        QTRY_COMPARE_WITH_TIMEOUT(ourOfferedTypes(), QSet(served.keyBegin(), served.keyEnd()),
                                  5000);
        for (auto it = served.cbegin(); it != served.cend(); ++it)
            QCOMPARE(pasteWithWlPaste(*m_sway, {"--type", it.key()}).value_or("(failed)"),
                     it.value());
    }

    void aReceiverClosingEarlyCostsNothingElse()
    {
        const QByteArray big = pngOfSize(30 << 20);
        m_pasteboard->write(Payload::image(big));
        QTRY_COMPARE_WITH_TIMEOUT(ourOfferedTypes(), QSet<QByteArray>{"image/png"}, 5000);
        const auto head = runClient("sh", {"-c", "wl-paste --type image/png | head -c 10"}, {},
                                    10000, m_sway->clientEnvironment());
        QCOMPARE(head, std::optional(big.left(10)));
        QVERIFY(m_pasteboard->ownsClipboard());
        QVERIFY(pasteWithWlPaste(*m_sway, {"--type", "image/png"}) == big);
    }

    void copyBackIsNotCapturedAgain()
    {
        WlClipboardPeer peer(*m_sway);
        contract::copyBackIsNotCapturedAgain(*m_pasteboard, peer);
    }

    void clipboardOutlivesItsSource()
    {
        WlClipboardPeer peer(*m_sway);
        contract::clipboardOutlivesItsOwner(
            *m_pasteboard, peer, [&](tessary::ClipboardMonitor &monitor) {
                // Emptied on purpose while it holds our copy, the clipboard stays empty.
                QVERIFY(copyWithWlCopy(*m_sway, {"--clear"}, {}));
                QTRY_VERIFY_WITH_TIMEOUT(!m_pasteboard->ownsClipboard(), 5000);
                QTest::qWait(600);
                QVERIFY(!m_pasteboard->ownsClipboard());
                QCOMPARE(monitor.history()->rowCount(), 1);
            });
    }

    void aCopyRightAfterItsSourceQuitIsNotCoveredByTheRestore()
    {
        WlClipboardPeer peer(*m_sway);
        contract::aCopyRightAfterItsOwnerQuitIsNotCoveredByTheRestore(*m_pasteboard, peer);
    }

    void theCompositorGoingAwayEndsTheConnectionCleanly()
    {
        PrivateCompositor sway(PrivateCompositor::Kind::Sway);
        QVERIFY(sway.isRunning());
        auto pasteboard =
            WaylandPasteboard::create({sway.socket(), WaylandPasteboard::Protocol::Wlr});
        QVERIFY(pasteboard);
        QSignalSpy lost(pasteboard.get(), &tessary::Pasteboard::displayLost);

        sway.kill();
        QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 5000);
        QVERIFY(!pasteboard->isConnected()); // the worker has ended: nothing left to spin
        const qint64 count = pasteboard->changeCount();
        pasteboard->write(Payload::text("nowhere to go"));
        QCOMPARE(captureNow(*pasteboard), Maybe());
        QTest::qWait(100);
        QCOMPARE(lost.count(), 1);
        QCOMPARE(pasteboard->changeCount(), count);
    }
};

QTEST_GUILESS_MAIN(WaylandClipboard)
#include "tst_waylandclipboard.moc"
