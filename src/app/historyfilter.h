#pragma once

#include "core/entrymatch.h"
#include "core/historymodel.h"

#include <QHash>
#include <QPointer>
#include <QSet>
#include <QSortFilterProxyModel>
#include <QThreadPool>
#include <QUuid>
#include <atomic>
#include <memory>

namespace tessary {

// The history as the main screen lists it: every entry while the query is empty, else those
// that match it (see EntryQuery), in history order. Entries captured meanwhile are matched as
// they come. Long texts are searched on a thread of the filter's own, so that typing never
// waits on them: such an entry joins the list once its search has found the query, and a
// newer query makes older searches stop.
class HistoryFilter : public QSortFilterProxyModel {
    Q_OBJECT
    Q_PROPERTY(
        tessary::HistoryModel *history READ history WRITE setHistory NOTIFY historyChanged FINAL)
    Q_PROPERTY(QString query READ query NOTIFY queryChanged FINAL)
    Q_PROPERTY(int count READ count NOTIFY countChanged FINAL)
    // Long texts are still being searched for the query.
    Q_PROPERTY(bool searching READ isSearching NOTIFY searchingChanged FINAL)
public:
    explicit HistoryFilter(QObject *parent = nullptr);
    ~HistoryFilter() override;

    HistoryModel *history() const { return m_history; }
    void setHistory(HistoryModel *history);
    QString query() const { return m_typed; }
    void setQuery(const QString &query);
    int count() const { return rowCount(); }
    bool isSearching() const { return !m_searches.isEmpty(); }

    // A key's text typed into the query. Returns false, leaving the query alone, for what is
    // not typing: no text, a control character, or Ctrl, Alt or Super held.
    Q_INVOKABLE bool type(const QString &text, int modifiers);
    // Removes the last character the user sees (a base with its marks); false when empty.
    Q_INVOKABLE bool backspace();
    // Empties the query; false when it was empty already.
    Q_INVOKABLE bool clear();

    // The history row of a row of this list, or -1.
    Q_INVOKABLE int historyRow(int row) const;
    // The row of the entry with this id, or -1 when it is not listed.
    Q_INVOKABLE int rowOf(const QString &entryId) const;
    // The id of the entry in this row, or an empty string.
    Q_INVOKABLE QString entryIdAt(int row) const;

    // The words that, typed as the whole query, list the images.
    static QStringList imageWords();

signals:
    void historyChanged();
    void queryChanged();
    void countChanged();
    void searchingChanged();

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex &sourceParent) const override;

private:
    void searchLongText(const Entry &entry) const;
    void finishSearch(const QUuid &id, quint64 generation, bool found);

    QPointer<HistoryModel> m_history;
    QString m_typed;
    std::shared_ptr<const EntryQuery> m_query;
    // Which query the searches running belong to; a search sees it move on and stops.
    std::shared_ptr<std::atomic<quint64>> m_generation;
    // For the current query: what the searches of long texts found, and those still running.
    mutable QHash<QUuid, bool> m_found;
    mutable QSet<QUuid> m_searches;
    QThreadPool m_pool;
};

} // namespace tessary
