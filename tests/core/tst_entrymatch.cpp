// Which entries a typed filter finds: case, canonical equivalence without folding diacritics,
// files by name and path, images by their word only, and long texts searched piece by piece.
#include "core/entrymatch.h"

#include <QTest>

using tessary::EntryQuery;
using tessary::Payload;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(Payload)

namespace {

const QStringList kImageWords{QStringLiteral("image"), QStringLiteral("images")};

Payload text(const char16_t *s)
{
    return Payload::text(QString::fromUtf16(s));
}

Payload file(const char16_t *path)
{
    return Payload::files({QUrl::fromLocalFile(QString::fromUtf16(path))});
}

} // namespace

class EntryMatchTest : public QObject {
    Q_OBJECT
private slots:
    void matching_data()
    {
        QTest::addColumn<Payload>("entry");
        QTest::addColumn<QString>("query");
        QTest::addColumn<bool>("found");
        QTest::newRow("case") << text(u"Hello World") << "hello w" << true;
        QTest::newRow("case, the other way") << text(u"hello") << "HELLO" << true;
        QTest::newRow("elsewhere") << text(u"Hello World") << "planet" << false;
        QTest::newRow("typed precomposed, kept decomposed")
            << text(u"Cafe\u0301 noir") << u"caf\u00e9"_s << true;
        QTest::newRow("typed decomposed, kept precomposed")
            << text(u"caf\u00e9") << u"cafe\u0301"_s << true;
        QTest::newRow("case and marks") << text(u"\u00c9T\u00c9") << u"\u00e9t\u00e9"_s << true;
        QTest::newRow("no diacritic folding") << text(u"caf\u00e9") << "cafe" << false;
        QTest::newRow("a later plain match") << text(u"caf\u00e9 or cafe") << "cafe" << true;
        QTest::newRow("a base before its mark") << text(u"caf\u00e9") << "caf" << true;
        QTest::newRow("compatibility forms stay apart") << text(u"\ufb01le") << "file" << false;
        QTest::newRow("file name")
            << file(u"/home/ana/Reports/Q3 summary.pdf") << "SUMMARY" << true;
        QTest::newRow("file path")
            << file(u"/home/ana/Reports/Q3 summary.pdf") << "reports/q3" << true;
        QTest::newRow("file name decomposed")
            << file(u"/tmp/re\u0301sume\u0301.txt") << u"r\u00e9sum\u00e9"_s << true;
        QTest::newRow("file, no match") << file(u"/home/ana/notes.txt") << "pdf" << false;
        QTest::newRow("any of the files") << Payload::files({QUrl::fromLocalFile("/a/one.txt"),
                                                             QUrl::fromLocalFile("/b/two.txt")})
                                          << "two" << true;
        QTest::newRow("image by its word") << Payload::image("PNG") << "Image" << true;
        QTest::newRow("image by its word and a blank")
            << Payload::image("PNG") << "images " << true;
        QTest::newRow("image, part of the word") << Payload::image("PNG") << "imag" << false;
        QTest::newRow("image, its format") << Payload::image("PNG") << "png" << false;
        QTest::newRow("text with the word") << text(u"an image of a cat") << "image" << true;
        QTest::newRow("empty query") << Payload::image("PNG") << "" << true;
    }

    void matching()
    {
        QFETCH(Payload, entry);
        QFETCH(QString, query);
        QFETCH(bool, found);
        QCOMPARE(EntryQuery(query, kImageWords).matches(entry), found);
    }

    void longTextsAreSearchedThroughAndCanBeStopped()
    {
        // Over the pieces' seam and at the very end of a text of several pieces, decomposed.
        QString long_(3 * 1024 * 1024, u'x');
        long_.replace(1024 * 1024 - 2, 4, QStringLiteral("ne\u0301e"));
        const Payload seam = Payload::text(long_);
        QVERIFY(EntryQuery::isLong(seam) && !EntryQuery::isLong(text(u"short")));
        QVERIFY(EntryQuery(u"N\u00e9e"_s, {}).matches(seam));
        QVERIFY(EntryQuery(u"xxxxne\u0301exx"_s, {}).matches(seam));
        const Payload end = Payload::text(QString(long_.size(), u'y') + QStringLiteral("end"));
        QVERIFY(EntryQuery("yend", {}).matches(end));
        QVERIFY(!EntryQuery("yends", {}).matches(end));
        // Stopped (a newer query came): nothing found, and soon.
        int asked = 0;
        QVERIFY(!EntryQuery("yend", {}).matches(end, [&] { return ++asked > 1; }));
        QCOMPARE(asked, 2);
    }
};

QTEST_GUILESS_MAIN(EntryMatchTest)
#include "tst_entrymatch.moc"
