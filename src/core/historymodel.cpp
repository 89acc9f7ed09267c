#include "historymodel.h"

#include <unistd.h>

namespace tessary {

int HistoryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

QVariant HistoryModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Entry &entry = m_entries.at(index.row());
    switch (role) {
    case KindRole:
        return kindName(entry.payload.kind());
    case Qt::DisplayRole:
    case TextRole:
        return entry.payload.text();
    case UrlsRole:
        return QVariant::fromValue(entry.payload.fileUrls());
    case IdRole:
        return entry.id.toString(QUuid::WithoutBraces);
    case TimeRole:
        return entry.capturedAt;
    default:
        return {};
    }
}

QHash<int, QByteArray> HistoryModel::roleNames() const
{
    return {{KindRole, "kind"},
            {TextRole, "text"},
            {UrlsRole, "urls"},
            {IdRole, "entryId"},
            {TimeRole, "capturedAt"}};
}

int HistoryModel::rowOf(const QString &id) const
{
    const QUuid uuid(id);
    for (qsizetype row = 0; row < m_entries.size(); ++row) {
        if (m_entries[row].id == uuid)
            return static_cast<int>(row);
    }
    return -1;
}

qint64 HistoryModel::defaultByteBudget()
{
    // A text costs two bytes a character, more with its decomposition: fifty entries at the
    // read cap would take tens of gigabytes.
    const long pages = sysconf(_SC_PHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0)
        return qint64(1) << 30;
    return qint64(pages) * pageSize / 8;
}

void HistoryModel::prepend(Entry entry)
{
    m_heldBytes += entry.payload.memorySize();
    beginInsertRows({}, 0, 0);
    m_entries.prepend(std::move(entry));
    endInsertRows();
    emit countChanged();
}

void HistoryModel::removeAt(int row)
{
    beginRemoveRows({}, row, row);
    m_heldBytes -= m_entries.at(row).payload.memorySize();
    m_entries.removeAt(row);
    endRemoveRows();
    emit countChanged();
}

void HistoryModel::truncate(int size)
{
    qsizetype kept = 0;
    qint64 keptBytes = 0;
    for (const Entry &entry : std::as_const(m_entries)) {
        const qint64 bytes = entry.payload.memorySize();
        if (kept == size || (kept > 0 && keptBytes + bytes > m_byteBudget))
            break;
        ++kept;
        keptBytes += bytes;
    }
    if (kept == m_entries.size())
        return;
    beginRemoveRows({}, static_cast<int>(kept), static_cast<int>(m_entries.size()) - 1);
    m_heldBytes = keptBytes;
    m_entries.remove(kept, m_entries.size() - kept);
    endRemoveRows();
    emit countChanged();
}

QString HistoryModel::kindName(Payload::Kind kind)
{
    switch (kind) {
    case Payload::Kind::Text:
        return QStringLiteral("text");
    case Payload::Kind::Image:
        return QStringLiteral("image");
    case Payload::Kind::Files:
        return QStringLiteral("files");
    }
    return {};
}

} // namespace tessary
