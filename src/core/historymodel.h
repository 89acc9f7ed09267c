#pragma once

#include "entry.h"

#include <QAbstractListModel>

namespace tessary {

// The history, newest first, as views see it. Only the monitor edits it; every edit is reported
// as the fine-grained row insert or removal it is, so views keep their delegates.
class HistoryModel : public QAbstractListModel {
    Q_OBJECT
    Q_PROPERTY(int count READ rowCount NOTIFY countChanged)
public:
    enum Role {
        KindRole = Qt::UserRole + 1, // "text", "image" or "files"
        TextRole,
        UrlsRole,
        IdRole,   // the entry id as a string without braces
        TimeRole, // capture time, a QDateTime
    };
    Q_ENUM(Role)

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    const QList<Entry> &entries() const { return m_entries; }
    // The row of the entry with this id, or -1.
    Q_INVOKABLE int rowOf(const QString &id) const;

    void prepend(Entry entry);
    void removeAt(int row);
    // Keeps at most `size` entries, and fewer while they hold more than the byte budget: the
    // oldest go first, and the newest always stays.
    void truncate(int size);

    // The memory all payloads may hold together; an eighth of the physical memory unless set.
    qint64 byteBudget() const { return m_byteBudget; }
    void setByteBudget(qint64 bytes) { m_byteBudget = bytes; }
    qint64 heldBytes() const { return m_heldBytes; }
    static qint64 defaultByteBudget();

    static QString kindName(Payload::Kind kind);

signals:
    void countChanged();

private:
    QList<Entry> m_entries;
    qint64 m_heldBytes = 0;
    qint64 m_byteBudget = defaultByteBudget();
};

} // namespace tessary
