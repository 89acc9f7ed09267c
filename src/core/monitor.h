#pragma once

#include "historymodel.h"
#include "services.h"

#include <QFutureWatcher>
#include <QTimer>
#include <chrono>
#include <functional>
#include <optional>

namespace tessary {

// Owns the history. Looks at the clipboard's change count on a half-second grid; when it moves,
// the count is adopted at once and the new contents are captured asynchronously (the owner is
// another process and may be slow or hung), de-duplicated and put at the front.
//
// The grid is only walked while the clipboard moves: a tick that finds the count still puts the
// monitor to rest, and the pasteboard's changeNoticed() wakes it for the next grid point, so a
// change is seen on the same tick as if every grid point had been looked at. At rest one tick
// a minute looks anyway, so that a change whose notice went astray is still captured.
class ClipboardMonitor : public QObject {
    Q_OBJECT
    Q_PROPERTY(tessary::HistoryModel *history READ history CONSTANT)
    Q_PROPERTY(qint64 lastChangeCount READ lastChangeCount NOTIFY lastChangeCountChanged)
    Q_PROPERTY(bool monitoring READ isMonitoring NOTIFY monitoringChanged)
    // What the desktop lets the backend see, for the views to say while the history is empty:
    // nothing at all, or copies through the X11 compatibility layer of a Wayland desktop.
    Q_PROPERTY(bool watchesClipboard READ watchesClipboard NOTIFY accessChanged)
    Q_PROPERTY(bool watchesThroughX11Compatibility READ watchesThroughX11Compatibility NOTIFY
                   accessChanged)
public:
    static constexpr int kMaxHistory = 50;
    static constexpr std::chrono::milliseconds kPollInterval{500};
    // Between ticks at rest; a whole number of poll intervals, so that it stays on the grid.
    static constexpr std::chrono::milliseconds kRestingInterval{60000};
    // A capture still unfinished this long after its read began yields nothing.
    static constexpr std::chrono::milliseconds kCaptureTimeout{2000};

    // Milliseconds on a monotonic clock; tests pass a fake one.
    using MonotonicClock = std::function<qint64()>;

    // Adopts the clipboard's current change count: what is on offer now counts as seen.
    ClipboardMonitor(Pasteboard &pasteboard, SoundPlayer &sound, QObject *parent = nullptr,
                     MonotonicClock clock = {});

    HistoryModel *history() { return &m_history; }
    qint64 lastChangeCount() const { return m_lastChangeCount; }
    bool isMonitoring() const { return m_nextTickAt.has_value(); }
    ClipboardAccess access() const { return m_access; }
    void setAccess(ClipboardAccess access);
    bool watchesClipboard() const { return m_access != ClipboardAccess::None; }
    bool watchesThroughX11Compatibility() const
    {
        return m_access == ClipboardAccess::ThroughX11Compatibility;
    }
    // When the next tick is due, on the monotonic clock; nothing before the start.
    std::optional<qint64> nextTickAt() const { return m_nextTickAt; }

    // Lays the grid from now, the first tick half a second away; later calls do nothing.
    Q_INVOKABLE void startMonitoring();
    // One tick: adopt a moved change count and start capturing the new contents. Once started,
    // it also schedules the next tick: on the next grid point when the count moved, else at rest.
    void checkPasteboard();
    // Puts the entry on the clipboard again, leaving the history as it is, and confirms it.
    void copyToPasteboard(const Entry &entry);
    Q_INVOKABLE void copyRow(int row);

signals:
    void lastChangeCountChanged();
    void monitoringChanged();
    void accessChanged();

private:
    void noticeChange();
    void tickWhenDue();
    void scheduleTick(qint64 at);
    qint64 gridPointAfter(qint64 time) const;
    void setLastChangeCount(qint64 count);
    void beginCapture();
    void dropCapture();
    void record(Payload payload);
    void restoreNewest();

    Pasteboard &m_pasteboard;
    SoundPlayer &m_sound;
    MonotonicClock m_clock;
    HistoryModel m_history;
    QTimer m_timer; // single shot, for m_nextTickAt
    qint64 m_gridStart = 0;
    std::optional<qint64> m_nextTickAt;
    qint64 m_lastChangeCount = 0;
    ClipboardAccess m_access = ClipboardAccess::Direct;
    // The capture whose result is still wanted, if any. Replacing or dropping it disconnects the
    // old one, so a superseded read can never reach the history.
    QFutureWatcher<std::optional<Payload>> *m_capture = nullptr;
    qint64 m_readStartedAt = 0;
};

} // namespace tessary
