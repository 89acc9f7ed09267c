#pragma once

#include <QDateTime>
#include <QObject>
#include <QSizeF>
#include <QTimer>
#include <QUrl>
#include <functional>

class QQuickItem;

namespace tessary {

class HistoryModel;
class RelativeTimeFormatter;
struct Entry;

// What the history cards ask of C++: the expand rule, the relative timestamp with a "now" that
// moves on while the panel is on screen, image geometry and the drag-out of an entry. The panel
// makes one each time it opens and hands it to its cards.
class CardSupport : public QObject {
    Q_OBJECT
    // Cards bind their timestamp to this, so phrases stay true without rebuilding cards. While
    // running it moves every second while the newest entry is under a minute old, else every
    // 15 s; stopped, it does not wake at all.
    Q_PROPERTY(QDateTime now READ now NOTIFY nowChanged FINAL)
    // Ids of the text entries shown in full. Kept here rather than in the cards, so an entry
    // stays expanded while its card is scrolled away and made again; dropped with the entry.
    Q_PROPERTY(
        QList<QString> expandedEntries READ expandedEntries NOTIFY expandedEntriesChanged FINAL)
public:
    using Clock = std::function<QDateTime()>;

    // The history and the formatter must outlive it. The clock starts stopped.
    CardSupport(HistoryModel &history, const RelativeTimeFormatter &formatter,
                QObject *parent = nullptr, Clock clock = {});

    QDateTime now() const { return m_now; }
    // Reads the clock again at once, and keeps it moving while running.
    Q_INVOKABLE void refreshNow();
    // The panel shows (true) or hides (false) the cards.
    void setRunning(bool running);
    bool isRunning() const { return m_running; }

    QStringList expandedEntries() const { return m_expanded; }
    Q_INVOKABLE void setExpanded(const QString &entryId, bool expanded);

    // Whether the text entry gets the expand toggle (see expandrule.h), from what was measured of
    // it when it was captured; false for other ids.
    Q_INVOKABLE bool needsExpandToggle(const QString &entryId) const;
    // What a text tile lays out: the text, or its beginning when it is far longer than a tile.
    Q_INVOKABLE QString displayText(const QString &text) const;
    // The formatter's phrase for a capture time seen from `now`.
    Q_INVOKABLE QString relativeTime(const QDateTime &capturedAt, const QDateTime &now) const;
    // The pixel size of the image entry, read from its header when it was captured; an invalid
    // size when they are not an image. Looked up by id so that the bytes never pass through QML,
    // which would copy them for each card.
    Q_INVOKABLE QSizeF imageSize(const QString &entryId) const;

    // Drags the entry out of `source`, from the event loop once the caller has returned (the drag
    // runs an event loop of its own, which must not run inside a view's handler). False when
    // the id names no entry. A drag of an entry with nothing to offer still runs, carrying
    // nothing.
    Q_INVOKABLE bool startDrag(const QString &entryId, QQuickItem *source);

    static constexpr int kFastTickMs = 1000;
    static constexpr int kSlowTickMs = 15000;
    // The time until the clock moves again; -1 when it is stopped.
    int nextTickMs() const { return m_tick.isActive() ? m_tick.interval() : -1; }

signals:
    void nowChanged();
    void expandedEntriesChanged();
    // A drag of this entry is about to run, offering these formats.
    void dragStarted(const QString &entryId, const QStringList &formats);

private:
    void tick();
    void forgetRemovedEntries();
    void runDrag(const QString &entryId, QQuickItem *source);
    const Entry *entryById(const QString &entryId) const;

    HistoryModel &m_history;
    const RelativeTimeFormatter &m_formatter;
    Clock m_clock;
    bool m_running = false;
    QDateTime m_now;
    QTimer m_tick;
    QStringList m_expanded;
};

} // namespace tessary
