// An owner's answer put together from the replies it is fetched with: only ever exactly what the
// owner wrote, within the cap, or nothing.

#include "platform/x11/propertyanswer.h"

#include <QTest>

using tessary::x11::PropertyAnswer;
using Mode = PropertyAnswer::Mode;
using Step = PropertyAnswer::Step;
using Replies = QList<std::pair<QByteArray, quint32>>; // value, bytes left after it

class PropertyAnswerTest : public QObject {
    Q_OBJECT
private slots:
    void answersComeWholeOrNotAtAll_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<quint64>("size");
        QTest::addColumn<Replies>("replies");
        QTest::addColumn<QByteArray>("answer"); // null: abandoned
        QTest::newRow("whole, in pieces")
            << Mode::Whole << 10ull << Replies{{"abcd", 6}, {"efgh", 2}, {"ij", 0}}
            << QByteArray("abcdefghij");
        QTest::newRow("whole, empty") << Mode::Whole << 0ull << Replies{} << QByteArray("");
        QTest::newRow("whole, growing while read")
            << Mode::Whole << 8ull << Replies{{"abcd", 4}, {"efgh", 8}} << QByteArray();
        QTest::newRow("whole, a piece of no whole units followed by more")
            << Mode::Whole << 8ull << Replies{{"abc", 5}, {"defgh", 0}} << QByteArray();
        QTest::newRow("whole, over the cap") << Mode::Whole << 17ull << Replies{} << QByteArray();
        QTest::newRow("incremental")
            << Mode::Incremental << 0ull << Replies{{"abc", 0}, {"def", 0}, {"", 0}}
            << QByteArray("abcdef");
        QTest::newRow("incremental, a piece larger than asked for")
            << Mode::Incremental << 0ull << Replies{{"abc", 0}, {"defg", 9}} << QByteArray();
        QTest::newRow("incremental, growing past the cap")
            << Mode::Incremental << 0ull
            << Replies{{"abcdefgh", 0}, {"ijklmnop", 0}, {"q", 0}, {"", 0}} << QByteArray();
        QTest::newRow("incremental, announced over the cap")
            << Mode::Incremental << 17ull << Replies{} << QByteArray();
    }

    void answersComeWholeOrNotAtAll()
    {
        QFETCH(Mode, mode);
        QFETCH(quint64, size);
        QFETCH(Replies, replies);
        QFETCH(QByteArray, answer);
        PropertyAnswer assembly(mode, size, 16);
        Step step = assembly.isComplete() ? Step::Complete
                    : assembly.fits()     ? Step::More
                                          : Step::Abandoned;
        for (const auto &[value, after] : replies) {
            if (step != Step::More)
                break;
            step = assembly.add(value, after);
        }
        QCOMPARE(step, answer.isNull() ? Step::Abandoned : Step::Complete);
        if (!answer.isNull())
            QCOMPARE(assembly.take(), answer);
    }

    void aTargetsAnswerIsWholeAtoms()
    {
        QCOMPARE(tessary::x11::atomsOf({}).size(), 0);
        QCOMPARE(tessary::x11::atomsOf(QByteArray(11, '\1')).size(), 2);
    }
};

QTEST_GUILESS_MAIN(PropertyAnswerTest)
#include "tst_propertyanswer.moc"
