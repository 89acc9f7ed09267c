// What typing a filter costs over a full history of long texts: the time the GUI thread spends
// per key (matching short entries, starting the searches of long ones), and the time until the
// searches are done, beside a plain case-insensitive search of the same texts in the same run.
#include "app/historyfilter.h"
#include "core/historymodel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <cstdio>

using namespace tessary;
using namespace Qt::StringLiterals;

namespace {

// French prose: accented letters throughout, so that texts keep a decomposition of their own.
QString prose(qsizetype length, int seed)
{
    static const QString words[] = {u"été"_s,   u"café"_s,    u"élève"_s, u"déjà"_s,
                                    u"la"_s,    u"fenêtre"_s, u"où"_s,    u"garçon"_s,
                                    u"naïve"_s, u"très"_s,    u"à"_s,     u"Noël"_s};
    QString text;
    text.reserve(length + 16);
    for (quint32 i = quint32(seed); text.size() < length; i = i * 1103515245u + 12345u)
        text += words[(i >> 16) % std::size(words)] + u' ';
    text.truncate(length);
    return text;
}

struct Timing {
    double guiMs = 0, doneMs = 0;
    int matches = 0;
};

// Types the query a key at a time, as the main screen does; the last key's search runs out.
Timing typeQuery(HistoryFilter &filter, const QString &query)
{
    Timing timing;
    QElapsedTimer total;
    total.start();
    for (qsizetype typed = 1; typed <= query.size(); ++typed) {
        QElapsedTimer key;
        key.start();
        filter.setQuery(query.first(typed));
        timing.guiMs = std::max(timing.guiMs, key.nsecsElapsed() / 1e6);
    }
    if (!QTest::qWaitFor([&] { return !filter.isSearching(); }, 120000))
        std::printf("  (the searches did not end within two minutes)\n");
    timing.doneMs = total.nsecsElapsed() / 1e6;
    timing.matches = filter.count();
    filter.setQuery({});
    return timing;
}

double plainSearchMs(const HistoryModel &history, const QString &query)
{
    QElapsedTimer timer;
    timer.start();
    int found = 0;
    for (const Entry &entry : history.entries())
        found += entry.payload.text().contains(query, Qt::CaseInsensitive);
    Q_UNUSED(found)
    return timer.nsecsElapsed() / 1e6;
}

void run(const char *name, const QList<qsizetype> &lengths)
{
    HistoryModel history;
    history.setByteBudget(qint64(1) << 40);
    qint64 characters = 0;
    for (int i = 0; i < lengths.size(); ++i) {
        history.prepend(Entry::create(Payload::text(prose(lengths[i], i))));
        characters += lengths[i];
    }
    HistoryFilter filter;
    filter.setHistory(&history);
    std::printf("%s: %lld entries, %.1f M characters\n", name, qint64(lengths.size()),
                characters / 1e6);
    for (const QString &query : {u"fenêtre"_s, u"zzzzzz"_s}) {
        const Timing timing = typeQuery(filter, query);
        std::printf("  \"%s\": slowest key on the GUI thread %.2f ms; all searched %.0f ms "
                    "(%d listed); a plain case-insensitive search of the texts %.0f ms\n",
                    qPrintable(query), timing.guiMs, timing.doneMs, timing.matches,
                    plainSearchMs(history, query));
    }
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    run("50 texts of 1 M characters", QList<qsizetype>(50, 1000 * 1000));
    run("50 texts just short enough to be matched at once", QList<qsizetype>(50, 50 * 1000));
    QList<qsizetype> oneHuge(49, 2000);
    oneHuge.append(50 * 1000 * 1000);
    run("one text of 50 M characters and 49 short ones", oneHuge);
    return 0;
}
