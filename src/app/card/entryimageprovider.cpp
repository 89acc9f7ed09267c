#include "entryimageprovider.h"

#include "core/historymodel.h"
#include "preview/filethumbnailsource.h"
#include "preview/imagereading.h"

namespace tessary {

EntryImageProvider::EntryImageProvider(HistoryModel &history)
    : QQuickImageProvider(QQuickImageProvider::Image), m_history(history)
{
    // At most fifty entries: rebuilding the whole index on each change costs nothing.
    connect(&history, &QAbstractItemModel::rowsInserted, this, &EntryImageProvider::reindex);
    connect(&history, &QAbstractItemModel::rowsRemoved, this, &EntryImageProvider::reindex);
    connect(&history, &QAbstractItemModel::modelReset, this, &EntryImageProvider::reindex);
    connect(&history, &QAbstractItemModel::dataChanged, this, &EntryImageProvider::reindex);
    reindex();
}

void EntryImageProvider::reindex()
{
    QHash<QUuid, QByteArray> bytes;
    for (const Entry &entry : m_history.entries()) {
        if (entry.payload.kind() == Payload::Kind::Image)
            bytes.insert(entry.id, entry.payload.imageBytes());
    }
    QMutexLocker lock(&m_mutex);
    m_bytes.swap(bytes);
}

QByteArray EntryImageProvider::bytes(const QUuid &id) const
{
    QMutexLocker lock(&m_mutex);
    return m_bytes.value(id);
}

QImage EntryImageProvider::requestImage(const QString &id, QSize *size, const QSize &requestedSize)
{
    const QStringList parts = id.split(u'/');
    const qreal radius = parts.size() > 1 ? parts.at(1).toDouble() : 0;
    const QImage image =
        roundedCorners(images::readUpright(bytes(QUuid(parts.first())), requestedSize), radius);
    if (size)
        *size = image.size();
    return image;
}

} // namespace tessary
