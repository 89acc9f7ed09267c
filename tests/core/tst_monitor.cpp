#include "core/monitor.h"
#include "platform/memory/memorypasteboard.h"
#include "support/countingsound.h"

#include <QSignalSpy>
#include <QTest>

using namespace tessary;
using tessary::testing::CountingSound;

namespace {

// A clipboard whose change count can be set freely, to play out counters that go backwards.
class SettableCountPasteboard : public MemoryPasteboard {
public:
    qint64 changeCount() const override { return count; }
    qint64 count = 100;
};

// A text copied by another process, at a time on the monitor's clock.
struct Copy {
    qint64 at;
    QString text;
};
using Copies = QList<Copy>;

struct Fixture {
    MemoryPasteboard pasteboard;
    CountingSound sound;
    qint64 now = 0;
    ClipboardMonitor monitor{pasteboard, sound, nullptr, [this] { return now; }};
    HistoryModel &history = *monitor.history();

    void copy(const QString &text) { pasteboard.setContent({.text = text}); }
    void tick()
    {
        monitor.checkPasteboard();
        QCoreApplication::processEvents(); // capture results arrive as queued calls
    }
    void copyAndTick(const QString &text) { copy(text), tick(); }
    // Moves the clock on to `time`, running the ticks the monitor has scheduled on the way as
    // its timer would; returns how many ran.
    int runUntil(qint64 time)
    {
        int ticks = 0;
        for (; monitor.nextTickAt() && *monitor.nextTickAt() <= time; ++ticks) {
            now = *monitor.nextTickAt();
            tick();
        }
        now = time;
        return ticks;
    }
    void finishHeld(qint64 afterMs)
    {
        now += afterMs;
        pasteboard.finishHeldCaptures();
        QCoreApplication::processEvents();
    }
    QString texts() const
    {
        QStringList texts;
        for (const Entry &entry : history.entries())
            texts << entry.payload.text();
        return texts.join(' ');
    }
};

} // namespace

Q_DECLARE_METATYPE(Copies)

class Monitor : public QObject {
    Q_OBJECT
private slots:
    void repeatsMoveToTheFrontAsNewEntriesAndTheHistoryKeepsFifty()
    {
        Fixture f;
        for (int i = 9; i >= 0; --i)
            f.copyAndTick(QString::number(i));
        const Entry old7 = f.history.entries().at(7);
        f.copyAndTick("7");
        QCOMPARE(f.texts(), "7 0 1 2 3 4 5 6 8 9");
        QVERIFY(f.history.entries().first().id != old7.id);

        for (int i = 10; i < 50; ++i)
            f.copyAndTick(QString::number(i));
        f.copyAndTick("3"); // equal to an entry: nothing is dropped
        QCOMPARE(f.history.rowCount(), 50);
        QVERIFY(f.texts().endsWith(" 9"));
        f.copyAndTick("new");
        QCOMPARE(f.history.rowCount(), 50);
        QVERIFY(f.texts().startsWith("new 3 ") && f.texts().endsWith(" 8"));
    }

    void changeCountRules()
    {
        Fixture f;
        QSignalSpy adopted(&f.monitor, &ClipboardMonitor::lastChangeCountChanged);
        f.copyAndTick(" \n\t\u2028 "); // blank: adopted, not captured, not read again
        QCOMPARE(f.history.rowCount(), 0);
        QCOMPARE(adopted.size(), 1);
        f.pasteboard.clearCalls();
        f.tick();
        QCOMPARE(f.pasteboard.calls(), QStringList{"changeCount"});
        QCOMPARE(adopted.size(), 1);

        f.copy("one"), f.copy("two"), f.copy("three");
        f.tick();
        QCOMPARE(f.texts(), "three");

        SettableCountPasteboard restarted;
        ClipboardMonitor monitor(restarted, f.sound);
        restarted.setContent({.text = "after the counter went down"});
        restarted.count = 3;
        monitor.checkPasteboard();
        QTRY_COMPARE(monitor.history()->rowCount(), 1);
    }

    void theOldestGoFirstBeyondTheByteBudget()
    {
        Fixture f;
        f.history.setByteBudget(1000); // 500 characters of ASCII text
        for (const char letter : {'a', 'b', 'c'})
            f.copyAndTick(QString(200, QChar(letter)));
        QCOMPARE(f.texts(), QString(200, 'c') + ' ' + QString(200, 'b'));
        f.copyAndTick(QString(600, 'd')); // over the budget alone: kept, as the newest
        QCOMPARE(f.texts(), QString(600, 'd'));
        f.copyAndTick("e");
        QCOMPARE(f.history.rowCount(), 1);
        QCOMPARE(f.history.heldBytes(), 2);
    }

    void restsWhileTheClipboardIsStillAndWakesOnTheGrid()
    {
        Fixture f;
        QSignalSpy started(&f.monitor, &ClipboardMonitor::monitoringChanged);
        f.now = 1000;
        f.copy("copied before the start");
        ClipboardMonitor launchedNow(f.pasteboard, f.sound); // takes what is there as seen
        launchedNow.checkPasteboard();
        QCoreApplication::processEvents();
        QCOMPARE(launchedNow.history()->rowCount(), 0);
        QVERIFY(!f.monitor.nextTickAt()); // nothing looks before the start
        f.monitor.startMonitoring();
        f.runUntil(1200);
        f.monitor.startMonitoring(); // a later start leaves the grid where it began
        QCOMPARE(started.size(), 1);
        QCOMPARE(f.runUntil(1500), 1);
        QCOMPARE(f.texts(), "copied before the start");

        QCOMPARE(f.runUntil(2000), 1); // finds the clipboard still
        f.pasteboard.clearCalls();
        QCOMPARE(f.runUntil(30'777), 0);
        QVERIFY(f.pasteboard.calls().isEmpty());

        f.copy("one"), f.copy("two"); // one wake-up, for the next point of the grid
        QCOMPARE(f.monitor.nextTickAt(), 31'000);
        QCOMPARE(f.runUntil(31'000), 1);
        QCOMPARE(f.texts(), "two copied before the start");
        QCOMPARE(f.runUntil(90'000), 1); // at 31 500, which finds it still again
    }

    void theTimerRunsTheTicksOnTheSteadyClock()
    {
        MemoryPasteboard pasteboard;
        CountingSound sound;
        ClipboardMonitor monitor(pasteboard, sound);
        monitor.startMonitoring();
        const qint64 gridStart = *monitor.nextTickAt() - 500;
        pasteboard.setContent({.text = "copied"});
        QTRY_COMPARE(monitor.history()->rowCount(), 1);
        // One more tick finds the clipboard still: then the next is a rest away, on the grid.
        QTRY_VERIFY(*monitor.nextTickAt() - gridStart >= 60'500);
        QCOMPARE((*monitor.nextTickAt() - gridStart) % 500, 0);
    }

    void unannouncedChangesAreCapturedByTheRestingTick()
    {
        Fixture f;
        f.monitor.startMonitoring();
        QCOMPARE(f.runUntil(10'000), 1);
        {
            const QSignalBlocker noticeLost(f.pasteboard);
            f.copy("unannounced");
        }
        QCOMPARE(f.runUntil(60'499), 0);
        QCOMPARE(f.history.rowCount(), 0);
        QCOMPARE(f.runUntil(60'500), 1);
        QCOMPARE(f.texts(), "unannounced");
        QCOMPARE(f.monitor.nextTickAt(), 61'000); // on the half-second grid while it moves
    }

    // The resting monitor against one that looks at every point of the grid: the same captures
    // at the same ticks.
    void capturesAsIfLookingEveryHalfSecond_data()
    {
        QTest::addColumn<Copies>("copies");
        QTest::newRow("one copy") << Copies{{700, "a"}};
        QTest::newRow("three within one tick") << Copies{{600, "a"}, {700, "b"}, {999, "c"}};
        QTest::newRow("on the grid points") << Copies{{1000, "a"}, {1500, "b"}, {2500, "c"}};
        QTest::newRow("a burst, a rest, a burst")
            << Copies{{600, "a"}, {1100, "b"}, {1600, "c"}, {90'000, "d"}, {90'001, "e"}};
        QTest::newRow("repeats and blanks")
            << Copies{{600, "a"}, {2000, " \n"}, {2100, "b"}, {4000, "a"}, {4700, "a"}};
        QTest::newRow("on a resting tick") << Copies{{60'500, "a"}, {120'600, "b"}};
    }

    void capturesAsIfLookingEveryHalfSecond()
    {
        QFETCH(Copies, copies);
        const auto logCaptures = [](Fixture &f, QStringList &log) {
            QObject::connect(&f.history, &QAbstractItemModel::rowsInserted, [&f, &log] {
                log << QStringLiteral("%1 %2").arg(f.now).arg(
                    f.history.entries()[0].payload.text());
            });
        };
        Fixture resting, polling;
        QStringList restingLog, pollingLog;
        logCaptures(resting, restingLog);
        logCaptures(polling, pollingLog);
        resting.monitor.startMonitoring();
        auto runBoth = [&, nextPoll = qint64(500)](qint64 time) mutable {
            resting.runUntil(time);
            for (; nextPoll <= time; nextPoll += 500)
                polling.now = nextPoll, polling.tick();
            polling.now = time;
        };
        for (const auto &[time, text] : copies) {
            runBoth(time);
            resting.copy(text), polling.copy(text);
        }
        runBoth(copies.last().at + 1000);
        QCOMPARE(restingLog, pollingLog);
        QCOMPARE(resting.texts(), polling.texts());
    }

    void slowCapturesAreDroppedWhenOvertaken()
    {
        Fixture f;
        f.pasteboard.setHoldCaptures(true);
        f.copyAndTick("slow owner");
        f.copyAndTick("newer change");
        f.finishHeld(0);
        QCOMPARE(f.texts(), "newer change");

        f.copyAndTick("overtaken by a copy back");
        f.monitor.copyRow(0);
        f.finishHeld(0);
        QCOMPARE(f.texts(), "newer change");

        f.copyAndTick("at the deadline");
        f.finishHeld(2000);
        f.copyAndTick("too late");
        f.finishHeld(2001);
        QCOMPARE(f.texts(), "at the deadline newer change");
        f.tick(); // no retry: the change was adopted when it was seen
        QCOMPARE(f.pasteboard.heldCaptureCount(), 0);

        f.copyAndTick("hung owner, never answers");
        f.pasteboard.setHoldCaptures(false);
        f.copyAndTick("next");
        QVERIFY(f.texts().startsWith("next at"));
    }

    void aCaptureThatWaitedBehindAnotherReadIsNotLate()
    {
        Fixture f;
        f.pasteboard.setQueueCaptures(true);
        f.copyAndTick("waited its turn");
        f.finishHeld(5000); // its read begins and ends only now
        QCOMPARE(f.texts(), "waited its turn");
    }

    void copyBackKeepsTheHistoryAndIsNotCapturedAgain()
    {
        Fixture f;
        for (const char *text : {"a", "b", "c", "d", "e", " padded\n"})
            f.copyAndTick(text);
        const QList<Entry> before = f.history.entries();
        f.monitor.copyRow(0);
        QCOMPARE(f.pasteboard.content().text, " padded\n");
        QCOMPARE(f.sound.confirmations, 1);
        f.monitor.copyRow(5);
        f.tick();
        for (qsizetype i = 0; i < before.size(); ++i)
            QCOMPARE(f.history.entries().at(i).id, before[i].id);

        f.copyAndTick("a"); // the same text copied again elsewhere is captured as usual
        QCOMPARE(f.texts(), "a  padded\n e d c b");
    }

    void lostContentsAreRestoredSilently()
    {
        Fixture f;
        f.copyAndTick("newest");
        const QUuid id = f.history.entries().first().id;
        f.pasteboard.loseContents();
        QCOMPARE(f.pasteboard.content().text, "newest");
        QCOMPARE(f.sound.confirmations, 0);
        f.tick();
        QCOMPARE(f.history.rowCount(), 1);
        QCOMPARE(f.history.entries().first().id, id);
    }

    void viewsSeeFineGrainedChanges()
    {
        Fixture f;
        QSignalSpy reset(&f.history, &QAbstractItemModel::modelReset);
        QSignalSpy inserted(&f.history, &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(&f.history, &QAbstractItemModel::rowsRemoved);
        auto rows = [](const QSignalSpy &spy) {
            QList<int> rows;
            for (const auto &signal : spy)
                rows << signal.at(1).toInt();
            return rows;
        };
        f.copyAndTick("first");
        f.copyAndTick("second");
        f.copyAndTick("first"); // a repeat: its old row goes, a new one comes at the top
        QCOMPARE(rows(inserted), (QList<int>{0, 0, 0}));
        QCOMPARE(rows(removed), QList<int>{1});
        for (int i = 0; i < 49; ++i)
            f.copyAndTick(QString::number(i));
        QCOMPARE(rows(removed), (QList<int>{1, 50}));
        QCOMPARE(reset.size(), 0);
    }
};

QTEST_GUILESS_MAIN(Monitor)
#include "tst_monitor.moc"
