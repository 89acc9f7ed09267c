#include "historyfilter.h"

#include <QFutureWatcher>
#include <QTextBoundaryFinder>
#include <QtConcurrent>

namespace tessary {

HistoryFilter::HistoryFilter(QObject *parent)
    : QSortFilterProxyModel(parent), m_query(std::make_shared<EntryQuery>()),
      m_generation(std::make_shared<std::atomic<quint64>>(0))
{
    // One search at a time: the other core stays with the rest of the desktop.
    m_pool.setMaxThreadCount(1);
    setDynamicSortFilter(true);
    for (const auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
        connect(this, signal, this, &HistoryFilter::countChanged);
    connect(this, &QAbstractItemModel::modelReset, this, &HistoryFilter::countChanged);
    connect(this, &QAbstractItemModel::layoutChanged, this, &HistoryFilter::countChanged);
}

HistoryFilter::~HistoryFilter()
{
    // A search under way sees the query move on and ends within a piece of its text.
    ++*m_generation;
    m_pool.clear();
}

void HistoryFilter::setHistory(HistoryModel *history)
{
    if (m_history == history)
        return;
    m_history = history;
    setSourceModel(history);
    emit historyChanged();
}

void HistoryFilter::setQuery(const QString &query)
{
    if (m_typed == query)
        return;
    m_typed = query;
    m_query = std::make_shared<EntryQuery>(query, imageWords());
    ++*m_generation;
    m_found.clear();
    if (isSearching()) {
        m_searches.clear();
        emit searchingChanged();
    }
    // Long texts start their searches here. The proxy filters only rows someone has asked for:
    // counting them makes it filter all now, whether or not a view is looking.
    invalidateRowsFilter();
    rowCount();
    emit queryChanged();
}

bool HistoryFilter::type(const QString &text, int modifiers)
{
    const auto held = Qt::KeyboardModifiers::fromInt(modifiers);
    if (text.isEmpty() || (held & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    if (std::any_of(text.cbegin(), text.cend(),
                    [](QChar c) { return c.category() == QChar::Other_Control; }))
        return false;
    setQuery(m_typed + text);
    return true;
}

bool HistoryFilter::backspace()
{
    if (m_typed.isEmpty())
        return false;
    QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, m_typed);
    graphemes.toEnd();
    setQuery(m_typed.left(graphemes.toPreviousBoundary()));
    return true;
}

bool HistoryFilter::clear()
{
    if (m_typed.isEmpty())
        return false;
    setQuery({});
    return true;
}

int HistoryFilter::historyRow(int row) const
{
    return mapToSource(index(row, 0)).row();
}

int HistoryFilter::rowOf(const QString &entryId) const
{
    if (!m_history)
        return -1;
    return mapFromSource(m_history->index(m_history->rowOf(entryId), 0)).row();
}

QString HistoryFilter::entryIdAt(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    return data(index(row, 0), HistoryModel::IdRole).toString();
}

QStringList HistoryFilter::imageWords()
{
    return tr("image,images,picture,pictures",
              "words that, typed alone as the filter, list the copied images; comma-separated")
        .split(u',', Qt::SkipEmptyParts);
}

bool HistoryFilter::filterAcceptsRow(int sourceRow, const QModelIndex &) const
{
    if (m_query->isEmpty() || !m_history)
        return true;
    const Entry &entry = m_history->entries().at(sourceRow);
    if (!EntryQuery::isLong(entry.payload))
        return m_query->matches(entry.payload);
    if (const auto found = m_found.constFind(entry.id); found != m_found.cend())
        return *found;
    searchLongText(entry);
    return false;
}

void HistoryFilter::searchLongText(const Entry &entry) const
{
    if (m_searches.contains(entry.id))
        return;
    auto *self = const_cast<HistoryFilter *>(this);
    m_searches.insert(entry.id);
    if (m_searches.size() == 1)
        QMetaObject::invokeMethod(self, &HistoryFilter::searchingChanged, Qt::QueuedConnection);
    // The search holds its own copies: the entry may leave the history, the query change.
    const std::shared_ptr<const EntryQuery> query = m_query;
    const std::shared_ptr<std::atomic<quint64>> latest = m_generation;
    const quint64 generation = latest->load();
    const Payload payload = entry.payload;
    auto *watcher = new QFutureWatcher<bool>(self);
    connect(watcher, &QFutureWatcher<bool>::finished, self,
            [self, watcher, id = entry.id, generation] {
                watcher->deleteLater();
                self->finishSearch(id, generation, watcher->result());
            });
    watcher->setFuture(QtConcurrent::run(&self->m_pool, [query, latest, generation, payload] {
        return query->matches(payload, [&] { return latest->load() != generation; });
    }));
}

void HistoryFilter::finishSearch(const QUuid &id, quint64 generation, bool found)
{
    if (generation != m_generation->load())
        return;
    m_searches.remove(id);
    m_found.insert(id, found);
    if (found)
        invalidateRowsFilter();
    if (m_searches.isEmpty())
        emit searchingChanged();
}

} // namespace tessary
