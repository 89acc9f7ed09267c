#pragma once

#include <QDateTime>
#include <QObject>
#include <QSize>
#include <QTimer>
#include <QUrl>
#include <functional>

class QQuickItem;

namespace tessary {

class HistoryModel;
struct Entry;

// What the history cards ask of C++: the expand rule, the relative timestamp with a "now" that
// moves on while the panel is open, image geometry and the drag-out of an entry.
// One per QML engine (the CardSupport singleton of Tessary.Native).
class CardSupport : public QObject {
    Q_OBJECT
    // Cards bind their timestamp to this, so phrases stay true without rebuilding cards. It
    // moves every second while the newest entry is under a minute old, else every 15 s.
    Q_PROPERTY(QDateTime now READ now NOTIFY nowChanged)
    // Ids of the text entries shown in full. Kept here rather than in the cards, so an entry
    // stays expanded while its card is scrolled away and made again; dropped with the entry.
    Q_PROPERTY(QStringList expandedEntries READ expandedEntries NOTIFY expandedEntriesChanged)
public:
    using Clock = std::function<QDateTime()>;

    explicit CardSupport(HistoryModel &history, QObject *parent = nullptr, Clock clock = {});

    QDateTime now() const { return m_now; }
    // Reads the clock again at once (for instance when the panel is shown).
    Q_INVOKABLE void refreshNow();

    QStringList expandedEntries() const { return m_expanded; }
    Q_INVOKABLE void setExpanded(const QString &entryId, bool expanded);

    Q_INVOKABLE bool needsExpandToggle(const QString &text) const;
    // What a text tile lays out: the text, or its beginning when it is far longer than a tile.
    Q_INVOKABLE QString displayText(const QString &text) const;
    // The shared formatter's phrase for a capture time seen from `now`.
    Q_INVOKABLE QString relativeTime(const QDateTime &capturedAt, const QDateTime &now) const;
    // The pixel size of the image entry's bytes from their header alone (no decoding); an
    // invalid size when they are not an image. Looked up by id so that the bytes never pass
    // through QML, which would copy them for each card.
    Q_INVOKABLE QSize imageSize(const QString &entryId) const;

    // Drags the entry out of `source`. Returns once the drag has ended; false when the id names
    // no entry. A drag of an entry with nothing to offer still runs, carrying nothing.
    Q_INVOKABLE bool startDrag(const QString &entryId, QQuickItem *source);

    static constexpr int kFastTickMs = 1000;
    static constexpr int kSlowTickMs = 15000;
    int tickInterval() const { return m_tick.interval(); }

signals:
    void nowChanged();
    void expandedEntriesChanged();
    // A drag of this entry is about to run, offering these formats.
    void dragStarted(const QString &entryId, const QStringList &formats);

private:
    void tick();
    void forgetRemovedEntries();
    const Entry *entryById(const QString &entryId) const;

    HistoryModel &m_history;
    Clock m_clock;
    QDateTime m_now;
    QTimer m_tick;
    QStringList m_expanded;
};

} // namespace tessary
