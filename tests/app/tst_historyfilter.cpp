// The main screen's filter over the history and the mark that follows it, with data rows:
// matches in history order, captures while filtering, long texts searched off the GUI thread,
// editing the query, and the first match marked for Enter.
#include "app/historyfilter.h"
#include "app/mainscreenstate.h"

#include <QSignalSpy>
#include <QTest>

using namespace tessary;
using namespace Qt::StringLiterals;

namespace {

// The texts of the listed entries, top to bottom.
QStringList listed(const HistoryFilter &filter)
{
    QStringList texts;
    for (int row = 0; row < filter.rowCount(); ++row)
        texts.append(filter.index(row, 0).data(HistoryModel::TextRole).toString());
    return texts;
}

QString idOf(const HistoryModel &history, int row)
{
    return history.entries().at(row).id.toString(QUuid::WithoutBraces);
}

} // namespace

class HistoryFilterTest : public QObject {
    Q_OBJECT
    std::unique_ptr<HistoryModel> m_history;
    std::unique_ptr<HistoryFilter> m_filter;

    void add(const QString &text) { m_history->prepend(Entry::create(Payload::text(text))); }

private slots:
    void init()
    {
        m_history = std::make_unique<HistoryModel>();
        m_filter = std::make_unique<HistoryFilter>();
        m_filter->setHistory(m_history.get());
        for (const QString &text : {u"alpha one"_s, u"beta"_s, u"Alpha two"_s, u"gamma"_s})
            add(text);
    }

    void listsTheMatchesInHistoryOrderAndCapturesThatMatch()
    {
        QCOMPARE(m_filter->count(), 4);
        QSignalSpy count(m_filter.get(), &HistoryFilter::countChanged);
        m_filter->setQuery(u"alpha"_s);
        QCOMPARE(listed(*m_filter), (QStringList{u"Alpha two"_s, u"alpha one"_s}));
        QVERIFY(!count.isEmpty());
        // Captured while filtering: listed when it matches, at the top.
        add(u"no"_s);
        add(u"ALPHABET"_s);
        QCOMPARE(listed(*m_filter), (QStringList{u"ALPHABET"_s, u"Alpha two"_s, u"alpha one"_s}));
        // Rows map to the history's for copying and previewing.
        QCOMPARE(m_filter->historyRow(1), 3);
        QCOMPARE(m_filter->rowOf(idOf(*m_history, 3)), 1);
        QCOMPARE(m_filter->rowOf(idOf(*m_history, 1)), -1); // "no" is not listed
        QCOMPARE(m_filter->entryIdAt(0), idOf(*m_history, 0));
        m_filter->setQuery({});
        QCOMPARE(m_filter->count(), 6);
    }

    void longTextsJoinOnceSearchedAndOlderSearchesAreDropped()
    {
        const QString hay(512 * 1024, u'h');
        m_history->prepend(Entry::create(Payload::text(hay + u"needle"_s)));
        m_history->prepend(Entry::create(Payload::text(hay + u"needle and thread"_s)));
        add(u"a short needle"_s);
        QSignalSpy searching(m_filter.get(), &HistoryFilter::searchingChanged);
        m_filter->setQuery(u"needle"_s);
        // The short text at once; the long ones as their searches end, in history order.
        QCOMPARE(listed(*m_filter), QStringList{u"a short needle"_s});
        QTRY_VERIFY(!searching.isEmpty() && !m_filter->isSearching());
        QCOMPARE(m_filter->count(), 3);
        QCOMPARE(m_filter->historyRow(1), 1);
        // A newer query while the searches run: only its own results count.
        m_filter->setQuery(u"needle and"_s);
        m_filter->setQuery(u"needle and t"_s);
        QTRY_VERIFY(!m_filter->isSearching());
        QCOMPARE(m_filter->count(), 1);
        QCOMPARE(m_filter->historyRow(0), 1);
    }

    void typingEditsTheQuery_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("taken");
        QTest::newRow("a letter") << u"a"_s << int(Qt::NoModifier) << true;
        QTest::newRow("a capital") << u"A"_s << int(Qt::ShiftModifier) << true;
        QTest::newRow("AltGr's character") << u"@"_s << int(Qt::GroupSwitchModifier) << true;
        QTest::newRow("a space") << u" "_s << int(Qt::NoModifier) << true;
        QTest::newRow("Ctrl+C") << u"\x03"_s << int(Qt::ControlModifier) << false;
        QTest::newRow("Ctrl with text") << u"c"_s << int(Qt::ControlModifier) << false;
        QTest::newRow("Alt with text") << u"x"_s << int(Qt::AltModifier) << false;
        QTest::newRow("Tab") << u"\t"_s << int(Qt::NoModifier) << false;
        QTest::newRow("no text (an arrow)") << QString() << int(Qt::NoModifier) << false;
    }

    void typingEditsTheQuery()
    {
        QFETCH(QString, typed);
        QFETCH(int, modifiers);
        QFETCH(bool, taken);
        m_filter->setQuery(u"x"_s);
        QCOMPARE(m_filter->type(typed, modifiers), taken);
        QCOMPARE(m_filter->query(), taken ? u"x"_s + typed : u"x"_s);
    }

    void backspaceRemovesWhatTheUserSeesAsOneCharacter()
    {
        m_filter->setQuery(u"cafe\u0301"_s);
        QVERIFY(m_filter->backspace());
        QCOMPARE(m_filter->query(), u"caf"_s);
        QVERIFY(m_filter->clear());
        QVERIFY(!m_filter->backspace() && !m_filter->clear());
    }

    void theFirstMatchIsMarkedForEnter()
    {
        // The history: gamma, Alpha two, beta, alpha one.
        MainScreenState rules;
        rules.setEntries(m_filter.get());
        rules.setPointerOver(idOf(*m_history, 3), true); // "alpha one", at the bottom
        m_filter->setQuery(u"al"_s);
        QCOMPARE(rules.hoveredId(), idOf(*m_history, 1)); // a new query marks its first match
        QCOMPARE(rules.moveHighlight(1), 1);              // Down moves over the matches only
        QCOMPARE(rules.hoveredId(), idOf(*m_history, 3));
        QCOMPARE(rules.moveHighlight(-1), 0);
        // The marked entry filtered out: the first match is marked.
        m_filter->setQuery(u"alpha o"_s);
        QCOMPARE(rules.hoveredId(), idOf(*m_history, 3));
        m_filter->setQuery(u"zzz"_s);
        QCOMPARE(rules.hoveredRow(), -1);
        // A match captured meanwhile is marked.
        add(u"zzz top"_s);
        QCOMPARE(rules.hoveredId(), idOf(*m_history, 0));
    }
};

QTEST_GUILESS_MAIN(HistoryFilterTest)
#include "tst_historyfilter.moc"
