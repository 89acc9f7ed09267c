#include "core/monitor.h"
#include "platform/memory/memorypasteboard.h"

#include <QSignalSpy>
#include <QTest>

using namespace tessary;

namespace {

class CountingSound : public SoundPlayer {
public:
    void playCopyConfirmation() override { ++confirmations; }
    void playErrorBeep() override {}
    int confirmations = 0;
};

// A clipboard whose change count can be set freely, to play out counters that go backwards.
class SettableCountPasteboard : public MemoryPasteboard {
public:
    qint64 changeCount() const override { return count; }
    qint64 count = 100;
};

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
        QCoreApplication::processEvents(); // capture results are delivered as queued calls
    }
    void copyAndTick(const QString &text)
    {
        copy(text);
        tick();
    }
    QStringList texts() const
    {
        QStringList texts;
        for (const Entry &entry : history.entries())
            texts << entry.payload.text();
        return texts;
    }
};

} // namespace

class Monitor : public QObject {
    Q_OBJECT
private slots:
    void contentAtLaunchCountsAsSeen();
    void repeatedCopyMovesToFrontAsNewEntry();
    void repeatFromTheMiddleKeepsTheRest();
    void historyIsTrimmedToFiftyFromTheEnd();
    void blankTextIsAdoptedButNotCaptured();
    void changesBetweenTicksGiveOneCapture();
    void countGoingDownIsAChange();
    void tickWithoutChangeReadsOnlyTheCount();
    void startIsIdempotent();
    void lastChangeCountNotifiesOnlyOnChange();

    void staleCaptureIsDroppedWhenANewerChangeIsSeen();
    void captureInFlightIsDroppedByCopyBack();
    void captureOverTwoSecondsYieldsNothing();
    void hungOwnerDoesNotBlockTheNextChange();

    void copyBackLeavesHistoryAndIsNotCapturedAgain();
    void outsideCopyAfterCopyBackIsCaptured();
    void lostContentsAreRestoredSilently();

    void viewsSeeFineGrainedChanges();
};

void Monitor::contentAtLaunchCountsAsSeen()
{
    MemoryPasteboard pasteboard;
    pasteboard.setContent({.text = "there before launch"});
    CountingSound sound;
    ClipboardMonitor monitor(pasteboard, sound);
    monitor.checkPasteboard();
    QCoreApplication::processEvents();
    QCOMPARE(monitor.history()->rowCount(), 0);

    pasteboard.setContent({.text = "after"});
    monitor.checkPasteboard();
    QTRY_COMPARE(monitor.history()->rowCount(), 1);
}

void Monitor::repeatedCopyMovesToFrontAsNewEntry()
{
    Fixture f;
    f.copyAndTick("abc");
    const Entry first = f.history.entries().constFirst();
    f.now += 10;
    f.copyAndTick("abc");
    QCOMPARE(f.history.rowCount(), 1);
    const Entry second = f.history.entries().constFirst();
    QVERIFY(second.id != first.id);
    QVERIFY(second.capturedAt >= first.capturedAt);
    QVERIFY(second.payload == first.payload);
}

void Monitor::repeatFromTheMiddleKeepsTheRest()
{
    Fixture f;
    for (int i = 9; i >= 0; --i)
        f.copyAndTick(QString::number(i));
    QCOMPARE(f.texts(), QString("0 1 2 3 4 5 6 7 8 9").split(' '));
    f.copyAndTick("7");
    QCOMPARE(f.texts(), QString("7 0 1 2 3 4 5 6 8 9").split(' '));
}

void Monitor::historyIsTrimmedToFiftyFromTheEnd()
{
    Fixture f;
    for (int i = 0; i < 50; ++i)
        f.copyAndTick(QString::number(i));
    f.copyAndTick("10"); // equal to an existing entry: nothing is dropped
    QCOMPARE(f.history.rowCount(), 50);
    QCOMPARE(f.texts().last(), "0");

    f.copyAndTick("new");
    QCOMPARE(f.history.rowCount(), 50);
    QCOMPARE(f.texts().first(), "new");
    QCOMPARE(f.texts().last(), "1");
}

void Monitor::blankTextIsAdoptedButNotCaptured()
{
    Fixture f;
    f.copyAndTick(" \n\t ");
    QCOMPARE(f.history.rowCount(), 0);
    QCOMPARE(f.monitor.lastChangeCount(), f.pasteboard.changeCount());
    f.pasteboard.clearCalls();
    f.tick();
    QCOMPARE(f.pasteboard.calls(), QStringList{"changeCount"});
}

void Monitor::changesBetweenTicksGiveOneCapture()
{
    Fixture f;
    f.copy("one");
    f.copy("two");
    f.copy("three");
    f.tick();
    QCOMPARE(f.texts(), QStringList{"three"});
}

void Monitor::countGoingDownIsAChange()
{
    SettableCountPasteboard pasteboard;
    CountingSound sound;
    ClipboardMonitor monitor(pasteboard, sound);
    pasteboard.setContent({.text = "after a restart of the clipboard owner"});
    pasteboard.count = 3;
    monitor.checkPasteboard();
    QTRY_COMPARE(monitor.history()->rowCount(), 1);
    QCOMPARE(monitor.lastChangeCount(), 3);
}

void Monitor::tickWithoutChangeReadsOnlyTheCount()
{
    Fixture f;
    f.copyAndTick("x");
    f.pasteboard.clearCalls();
    f.tick();
    QCOMPARE(f.pasteboard.calls(), QStringList{"changeCount"});

    f.copy("y");
    f.tick();
    QCOMPARE(f.pasteboard.calls(), (QStringList{"changeCount", "changeCount", "changeCount", "urls",
                                                "tiff", "png", "text"}));
}

void Monitor::startIsIdempotent()
{
    Fixture f;
    QSignalSpy started(&f.monitor, &ClipboardMonitor::monitoringChanged);
    f.monitor.startMonitoring();
    f.monitor.startMonitoring();
    QCOMPARE(started.size(), 1);
    const auto timers = f.monitor.findChildren<QTimer *>();
    QCOMPARE(timers.size(), 1);
    QCOMPARE(timers.first()->interval(), 500);
    QCOMPARE(timers.first()->timerType(), Qt::PreciseTimer);

    f.copy("seen by the timer");
    QTRY_COMPARE_WITH_TIMEOUT(f.history.rowCount(), 1, 2000);
}

void Monitor::lastChangeCountNotifiesOnlyOnChange()
{
    Fixture f;
    QSignalSpy spy(&f.monitor, &ClipboardMonitor::lastChangeCountChanged);
    f.tick();
    QCOMPARE(spy.size(), 0);
    f.copyAndTick("x");
    QCOMPARE(spy.size(), 1);
}

void Monitor::staleCaptureIsDroppedWhenANewerChangeIsSeen()
{
    Fixture f;
    f.pasteboard.setHoldCaptures(true);
    f.copyAndTick("slow owner");
    f.copyAndTick("newer");
    QCOMPARE(f.pasteboard.heldCaptureCount(), 2);
    f.pasteboard.finishHeldCaptures();
    QCoreApplication::processEvents();
    QCOMPARE(f.texts(), QStringList{"newer"});
}

void Monitor::captureInFlightIsDroppedByCopyBack()
{
    Fixture f;
    f.copyAndTick("kept");
    f.pasteboard.setHoldCaptures(true);
    f.copyAndTick("overtaken by the copy back");
    f.monitor.copyRow(0);
    f.pasteboard.finishHeldCaptures();
    QCoreApplication::processEvents();
    QCOMPARE(f.texts(), QStringList{"kept"});
}

void Monitor::captureOverTwoSecondsYieldsNothing()
{
    Fixture f;
    f.pasteboard.setHoldCaptures(true);
    f.copyAndTick("answered at the deadline");
    f.now += 2000;
    f.pasteboard.finishHeldCaptures();
    QCoreApplication::processEvents();
    QCOMPARE(f.texts(), QStringList{"answered at the deadline"});

    f.copyAndTick("answered too late");
    f.now += 2001;
    f.pasteboard.finishHeldCaptures();
    QCoreApplication::processEvents();
    QCOMPARE(f.history.rowCount(), 1);

    f.tick(); // no retry: the change was adopted when it was seen
    QCOMPARE(f.pasteboard.heldCaptureCount(), 0);
}

void Monitor::hungOwnerDoesNotBlockTheNextChange()
{
    Fixture f;
    f.pasteboard.setHoldCaptures(true);
    f.copyAndTick("never answered");
    f.pasteboard.setHoldCaptures(false);
    f.copyAndTick("next");
    QCOMPARE(f.texts(), QStringList{"next"});
}

void Monitor::copyBackLeavesHistoryAndIsNotCapturedAgain()
{
    Fixture f;
    for (const char *text : {"a", "b", "c", "d", "e", " padded text\n"})
        f.copyAndTick(text);
    const QList<Entry> before = f.history.entries();
    QSignalSpy inserted(&f.history, &QAbstractItemModel::rowsInserted);
    f.pasteboard.clearCalls();

    f.monitor.copyRow(0);
    QCOMPARE(f.pasteboard.calls(), (QStringList{"write text", "changeCount"}));
    QCOMPARE(f.pasteboard.content().text, " padded text\n");
    QCOMPARE(f.sound.confirmations, 1);
    f.monitor.copyRow(5);
    f.tick();
    f.tick();
    QCOMPARE(inserted.size(), 0);
    QCOMPARE(f.history.entries().size(), before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        QCOMPARE(f.history.entries()[i].id, before[i].id);
}

void Monitor::outsideCopyAfterCopyBackIsCaptured()
{
    Fixture f;
    f.copyAndTick("x");
    f.copyAndTick("y");
    const QUuid oldId = f.history.entries().at(1).id;
    f.monitor.copyRow(1);
    f.copyAndTick("x"); // the same text copied again elsewhere
    QCOMPARE(f.texts(), (QStringList{"x", "y"}));
    QVERIFY(f.history.entries().first().id != oldId);
}

void Monitor::lostContentsAreRestoredSilently()
{
    Fixture f;
    f.pasteboard.setContent(
        {.urls = QList<QUrl>{QUrl::fromLocalFile("/a"), QUrl::fromLocalFile("/b")}});
    f.tick();
    f.copyAndTick("newest");
    const QUuid newestId = f.history.entries().first().id;
    f.pasteboard.loseContents();
    QCOMPARE(f.pasteboard.content().text, "newest");
    QCOMPARE(f.sound.confirmations, 0);
    f.tick();
    QCOMPARE(f.history.rowCount(), 2);
    QCOMPARE(f.history.entries().first().id, newestId);
}

void Monitor::viewsSeeFineGrainedChanges()
{
    Fixture f;
    QSignalSpy reset(&f.history, &QAbstractItemModel::modelReset);
    QSignalSpy inserted(&f.history, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&f.history, &QAbstractItemModel::rowsRemoved);

    f.copyAndTick("first");
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.first().at(1).toInt(), 0);
    QCOMPARE(inserted.first().at(2).toInt(), 0);
    QCOMPARE(removed.size(), 0);

    f.copyAndTick("second");
    inserted.clear();
    f.copyAndTick("first"); // a repeat: old row removed, new row at the top
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed.first().at(1).toInt(), 1);
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(inserted.first().at(1).toInt(), 0);

    for (int i = 0; i < 49; ++i)
        f.copyAndTick(QString::number(i));
    removed.clear();
    f.copyAndTick("over the limit");
    QCOMPARE(removed.size(), 1);
    QCOMPARE(removed.first().at(1).toInt(), 50);
    QCOMPARE(reset.size(), 0);

    const QModelIndex top = f.history.index(0);
    QCOMPARE(top.data(HistoryModel::KindRole).toString(), "text");
    QCOMPARE(top.data(HistoryModel::TextRole).toString(), "over the limit");
    QCOMPARE(f.history.rowOf(top.data(HistoryModel::IdRole).toString()), 0);
}

QTEST_GUILESS_MAIN(Monitor)
#include "tst_monitor.moc"
