#include "cardsupport.h"

#include "core/historymodel.h"
#include "dragdata.h"
#include "expandrule.h"
#include "relativetime.h"

#include <QDrag>
#include <QMimeData>
#include <QPixmap>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWindow>

namespace tessary {

namespace {
constexpr int kDragPixmapSide = 128;
constexpr qint64 kFreshEntrySeconds = 60;
} // namespace

CardSupport::CardSupport(HistoryModel &history, const RelativeTimeFormatter &formatter,
                         QObject *parent, Clock clock)
    : QObject(parent), m_history(history), m_formatter(formatter),
      m_clock(clock ? std::move(clock) : [] { return QDateTime::currentDateTime(); })
{
    m_now = m_clock();
    m_tick.setSingleShot(true);
    connect(&m_tick, &QTimer::timeout, this, &CardSupport::tick);
    // A new entry reads "0 seconds ago": the clock has to move by seconds again.
    connect(&history, &QAbstractItemModel::rowsInserted, this, &CardSupport::refreshNow);
    connect(&history, &QAbstractItemModel::rowsRemoved, this, &CardSupport::forgetRemovedEntries);
    connect(&history, &QAbstractItemModel::modelReset, this, &CardSupport::forgetRemovedEntries);
}

void CardSupport::refreshNow()
{
    tick();
}

void CardSupport::setRunning(bool running)
{
    if (m_running == running)
        return;
    m_running = running;
    if (running)
        tick();
    else
        m_tick.stop();
}

void CardSupport::tick()
{
    const QDateTime now = m_clock();
    if (now != m_now) {
        m_now = now;
        emit nowChanged();
    }
    if (!m_running)
        return;
    // Phrases in seconds change every second; the others at most once a minute, so a quarter
    // of that keeps them within 15 s of the truth while waking up rarely.
    const QList<Entry> &entries = m_history.entries();
    const bool fresh =
        !entries.isEmpty() && entries.first().capturedAt.secsTo(now) < kFreshEntrySeconds;
    m_tick.start(fresh ? kFastTickMs : kSlowTickMs);
}

void CardSupport::setExpanded(const QString &entryId, bool expanded)
{
    if (m_expanded.contains(entryId) == expanded)
        return;
    if (expanded)
        m_expanded.append(entryId);
    else
        m_expanded.removeAll(entryId);
    emit expandedEntriesChanged();
}

void CardSupport::forgetRemovedEntries()
{
    const qsizetype removed = m_expanded.removeIf(
        [this](const QString &entryId) { return m_history.rowOf(entryId) < 0; });
    if (removed > 0)
        emit expandedEntriesChanged();
}

bool CardSupport::needsExpandToggle(const QString &entryId) const
{
    const Entry *entry = entryById(entryId);
    return entry && entry->payload.kind() == Payload::Kind::Text &&
           tessary::needsExpandToggle(entry->payload.textExtent());
}

QString CardSupport::displayText(const QString &text) const
{
    return tessary::displayText(text);
}

QString CardSupport::relativeTime(const QDateTime &capturedAt, const QDateTime &now) const
{
    return m_formatter.phrase(capturedAt, now);
}

QSizeF CardSupport::imageSize(const QString &entryId) const
{
    const Entry *entry = entryById(entryId);
    return entry ? QSizeF(entry->payload.imageSize()) : QSizeF();
}

const Entry *CardSupport::entryById(const QString &entryId) const
{
    const int row = m_history.rowOf(entryId);
    return row < 0 ? nullptr : &m_history.entries().at(row);
}

bool CardSupport::startDrag(const QString &entryId, QQuickItem *source)
{
    if (!entryById(entryId) || !source)
        return false;
    QTimer::singleShot(0, this, [this, entryId, item = QPointer<QQuickItem>(source)] {
        if (item)
            runDrag(entryId, item);
    });
    return true;
}

void CardSupport::runDrag(const QString &entryId, QQuickItem *source)
{
    const Entry *entry = entryById(entryId);
    if (!entry)
        return;
    // Built from the entry as it is now; nothing about the drag outlives it.
    std::unique_ptr<QMimeData> mime = dragMimeData(entry->payload);
    QImage preview = qvariant_cast<QImage>(mime->imageData());
    emit dragStarted(entryId, mime->formats());
    QPointer<QDrag> drag = new QDrag(source);
    drag->setMimeData(mime.release());
    if (!preview.isNull()) {
        const qreal ratio = source->window() ? source->window()->devicePixelRatio() : 1.0;
        preview = preview.scaled(QSize(kDragPixmapSide, kDragPixmapSide) * ratio,
                                 Qt::KeepAspectRatio, Qt::SmoothTransformation);
        preview.setDevicePixelRatio(ratio);
        drag->setPixmap(QPixmap::fromImage(preview));
    }
    drag->exec(Qt::CopyAction);
    if (drag)
        drag->deleteLater();
}

} // namespace tessary
