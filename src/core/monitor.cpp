#include "monitor.h"

#include <QLoggingCategory>
#include <algorithm>

Q_LOGGING_CATEGORY(lcMonitor, "tessary.monitor", QtInfoMsg)

namespace tessary {
namespace {

qint64 steadyMilliseconds()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

ClipboardMonitor::ClipboardMonitor(Pasteboard &pasteboard, SoundPlayer &sound, QObject *parent,
                                   MonotonicClock clock)
    : QObject(parent), m_pasteboard(pasteboard), m_sound(sound),
      m_clock(clock ? std::move(clock) : MonotonicClock(steadyMilliseconds)), m_history(this),
      m_timer(this), m_lastChangeCount(pasteboard.changeCount())
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ClipboardMonitor::tickWhenDue);
    connect(&m_pasteboard, &Pasteboard::changeNoticed, this, &ClipboardMonitor::noticeChange);
    connect(&m_pasteboard, &Pasteboard::contentsLost, this, &ClipboardMonitor::restoreNewest);
}

void ClipboardMonitor::setAccess(ClipboardAccess access)
{
    if (m_access == access)
        return;
    m_access = access;
    emit accessChanged();
}

void ClipboardMonitor::startMonitoring()
{
    if (m_nextTickAt)
        return;
    m_gridStart = m_clock();
    scheduleTick(m_gridStart + kPollInterval.count());
    emit monitoringChanged();
}

void ClipboardMonitor::checkPasteboard()
{
    const bool moved = m_pasteboard.changeCount() != m_lastChangeCount;
    if (moved) {
        // Adopted before the capture: an unreadable change is not read again on the next tick.
        setLastChangeCount(m_pasteboard.changeCount());
        beginCapture();
    }
    if (!m_nextTickAt)
        return; // not started
    const qint64 now = m_clock();
    // Keep looking while the clipboard moves; once it is still, rest until told otherwise.
    scheduleTick(
        gridPointAfter(moved ? now : now + kRestingInterval.count() - kPollInterval.count()));
}

void ClipboardMonitor::noticeChange()
{
    if (!m_nextTickAt)
        return;
    const qint64 due = gridPointAfter(m_clock());
    if (due < *m_nextTickAt)
        scheduleTick(due);
}

void ClipboardMonitor::tickWhenDue()
{
    // The grid is kept on the clock given at construction: a test's clock may stand still while
    // the timer runs, and then the tick waits for it.
    const qint64 now = m_clock();
    if (now < *m_nextTickAt)
        m_timer.start(std::chrono::milliseconds(*m_nextTickAt - now));
    else
        checkPasteboard();
}

void ClipboardMonitor::scheduleTick(qint64 at)
{
    m_nextTickAt = at;
    m_timer.start(std::chrono::milliseconds(std::max<qint64>(0, at - m_clock())));
}

qint64 ClipboardMonitor::gridPointAfter(qint64 time) const
{
    const qint64 interval = kPollInterval.count();
    return m_gridStart + ((time - m_gridStart) / interval + 1) * interval;
}

void ClipboardMonitor::beginCapture()
{
    dropCapture();
    auto *watcher = new QFutureWatcher<std::optional<Payload>>(this);
    m_capture = watcher;
    // The deadline runs from when the backend starts reading this content. Time spent waiting
    // behind an older read is not this owner's, and the change's count is already adopted: if
    // it counted, the change would be lost for good.
    m_readStartedAt = m_clock();
    connect(watcher, &QFutureWatcherBase::started, this, [this] { m_readStartedAt = m_clock(); });
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        const bool late = m_clock() - m_readStartedAt > kCaptureTimeout.count();
        // A read that was cancelled (its owner vanished) finishes without a result.
        std::optional<Payload> payload =
            watcher->future().resultCount() > 0 ? watcher->result() : std::nullopt;
        dropCapture();
        if (payload && !late)
            record(std::move(*payload));
    });
    watcher->setFuture(m_pasteboard.capture());
}

void ClipboardMonitor::dropCapture()
{
    if (!m_capture)
        return;
    m_capture->disconnect(this);
    m_capture->deleteLater();
    m_capture = nullptr;
}

void ClipboardMonitor::record(Payload payload)
{
    const QList<Entry> &entries = m_history.entries();
    for (qsizetype row = 0; row < entries.size(); ++row) {
        if (entries[row].payload == payload) {
            m_history.removeAt(static_cast<int>(row));
            break;
        }
    }
    m_history.prepend(Entry::create(std::move(payload)));
    m_history.truncate(kMaxHistory);
    // steady_clock is CLOCK_MONOTONIC: bench/compare sets this against the moment it copied.
    qCDebug(
        lcMonitor, "recorded %s entry at %.6f",
        qPrintable(HistoryModel::kindName(entries.constFirst().payload.kind())),
        std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count());
}

void ClipboardMonitor::copyToPasteboard(const Entry &entry)
{
    dropCapture(); // whatever was being read is no longer on the clipboard
    m_pasteboard.write(entry.payload);
    setLastChangeCount(m_pasteboard.changeCount());
    m_sound.playCopyConfirmation();
}

void ClipboardMonitor::copyRow(int row)
{
    if (row >= 0 && row < m_history.rowCount())
        copyToPasteboard(m_history.entries().at(row));
}

void ClipboardMonitor::restoreNewest()
{
    // Keeps the clipboard alive after its owner quit: the newest entry goes back, silently
    // and without moving. A copy made since is newer: it stays, and is captured as usual.
    if (m_history.entries().isEmpty() ||
        !m_pasteboard.restore(m_history.entries().constFirst().payload))
        return;
    dropCapture();
    setLastChangeCount(m_pasteboard.changeCount());
}

void ClipboardMonitor::setLastChangeCount(qint64 count)
{
    if (count == m_lastChangeCount)
        return;
    m_lastChangeCount = count;
    emit lastChangeCountChanged();
}

} // namespace tessary
