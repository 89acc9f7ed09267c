#include "historymodel.h"

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

void HistoryModel::prepend(Entry entry)
{
    beginInsertRows({}, 0, 0);
    m_entries.prepend(std::move(entry));
    endInsertRows();
    emit countChanged();
}

void HistoryModel::removeAt(int row)
{
    beginRemoveRows({}, row, row);
    m_entries.removeAt(row);
    endRemoveRows();
    emit countChanged();
}

void HistoryModel::truncate(int size)
{
    if (m_entries.size() <= size)
        return;
    beginRemoveRows({}, size, static_cast<int>(m_entries.size()) - 1);
    m_entries.remove(size, m_entries.size() - size);
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
