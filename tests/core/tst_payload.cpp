#include "core/entry.h"
#include "core/imageheader.h"
#include "support/tiffbytes.h"

#include <QTest>
#include <QTextBoundaryFinder>

using tessary::Payload;
using tessary::testing::integerBytes;
using tessary::testing::tiffDirectory;

Q_DECLARE_METATYPE(Payload)

namespace {

// The grapheme clusters of the whole text, found the plain way.
int clustersOfWholeText(const QString &text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (finder.toNextBoundary() != -1)
        ++count;
    return count;
}

} // namespace

class PayloadEquality : public QObject {
    Q_OBJECT
private slots:
    void equality_data()
    {
        QTest::addColumn<Payload>("a");
        QTest::addColumn<Payload>("b");
        QTest::addColumn<bool>("equal");
        auto text = [](const char16_t *s) { return Payload::text(QString::fromUtf16(s)); };
        auto files = [](std::initializer_list<const char *> paths) {
            QList<QUrl> urls;
            for (const char *path : paths)
                urls << QUrl::fromLocalFile(path);
            return Payload::files(urls);
        };
        QTest::newRow("trailing blank") << text(u"abc") << text(u"abc ") << false;
        QTest::newRow("case") << text(u"abc") << text(u"ABC") << false;
        QTest::newRow("precomposed") << text(u"caf\u00e9") << text(u"cafe\u0301") << true;
        QTest::newRow("mark order") << text(u"a\u0323\u0307") << text(u"a\u0307\u0323") << true;
        QTest::newRow("compatibility form") << text(u"\ufb01") << text(u"fi") << false;
        QTest::newRow("singleton decomposition") << text(u"\u212b") << text(u"\u00c5") << true;
        QTest::newRow("Hangul syllable") << text(u"\ud55c") << text(u"\u1112\u1161\u11ab") << true;
        const QString precomposed(5000, QChar(0xe9)),
            decomposed = QString::fromUtf16(u"e\u0301").repeated(5000);
        QTest::newRow("long, decomposing to twice its length")
            << Payload::text(precomposed + 'x') << Payload::text(decomposed + 'x') << true;
        QTest::newRow("long, one mark apart")
            << Payload::text(precomposed) << Payload::text(decomposed + u'\u0301') << false;
        QTest::newRow("one byte") << Payload::image("PNG1234") << Payload::image("PNG1235")
                                  << false;
        QTest::newRow("length") << Payload::image("PNG1234") << Payload::image("PNG12345") << false;
        QTest::newRow("same bytes") << Payload::image("PNG1") << Payload::image("PNG1") << true;
        QTest::newRow("same files") << files({"/a", "/b"}) << files({"/a", "/b"}) << true;
        QTest::newRow("file order") << files({"/a", "/b"}) << files({"/b", "/a"}) << false;
        QTest::newRow("file prefix") << files({"/a"}) << files({"/a", "/b"}) << false;
        QTest::newRow("no path folding") << files({"/t/x"}) << files({"/t/./x"}) << false;
        QTest::newRow("text vs files") << text(u"file:///a") << files({"/a"}) << false;
        QTest::newRow("text vs image") << text(u"abc") << Payload::image("abc") << false;
    }
    void equality()
    {
        QFETCH(Payload, a);
        QFETCH(Payload, b);
        QFETCH(bool, equal);
        QCOMPARE(a == b, equal);
        QCOMPARE(b == a, equal);
    }

    // A text is measured only as far as views need, in a window that grows from its beginning;
    // clusters that reach over the window's edge are counted as the whole text would count them.
    void textsAreMeasuredFromTheirBeginning_data()
    {
        QTest::addColumn<QString>("text");
        const QString flag = QStringLiteral("\U0001F1E9\U0001F1EA"),
                      family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467");
        QTest::newRow("empty") << QString();
        QTest::newRow("ASCII") << QString(5000, 'x');
        QTest::newRow("flags, each pair across a window edge")
            << QStringLiteral("x") + flag.repeated(600);
        QTest::newRow("families") << family.repeated(300);
        QTest::newRow("a cluster of 2000 marks at the edge")
            << QString(803, 'x') + 'e' + QString(2000, QChar(0x301)) + 'y';
        QTest::newRow("CR LF at the edge") << QString(802, 'x') + "\r\n" + QString(10, 'y');
        QTest::newRow("a surrogate pair at the edge") << QString(803, 'x') + flag + "y";
        QTest::newRow("few lines") << QStringLiteral("a\nb\n\nc");
        QTest::newRow("many lines") << QStringLiteral("\n").repeated(100);
    }

    void textsAreMeasuredFromTheirBeginning()
    {
        QFETCH(QString, text);
        const tessary::TextExtent extent = Payload::text(text).textExtent();
        QCOMPARE(extent.clusters, std::min(clustersOfWholeText(text), 201));
        QCOMPARE(extent.pieces, std::min<int>(text.count(u'\n') + 1, 5));
    }

    // Sizes come from the header alone, turned upright as the decoders show them; a header that
    // names no size, or runs past the end, names none.
    void imageSizesAreReadFromTheHeader_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        const QByteArray png =
            QByteArray("\x89PNG\r\n\x1a\n", 8) + integerBytes(13, 4, true) + "IHDR";
        QTest::newRow("PNG cut short") << png + integerBytes(640, 4, true) << QSize();
        QTest::newRow("PNG of no width")
            << png + integerBytes(0, 4, true) + integerBytes(480, 4, true) << QSize();
        QTest::newRow("TIFF big-endian, turned")
            << tiffDirectory({{274, 6}, {256, 300}, {257, 200}}, true) << QSize(200, 300);
        QTest::newRow("BigTIFF, turned")
            << tiffDirectory({{256, 300}, {257, 200}, {274, 8}}, false, true) << QSize(200, 300);
        QTest::newRow("BigTIFF big-endian, mirrored")
            << tiffDirectory({{256, 300}, {257, 200}, {274, 2}}, true, true) << QSize(300, 200);
        QTest::newRow("TIFF without a height") << tiffDirectory({{256, 300}}) << QSize();
        QByteArray cut = tiffDirectory({{256, 300}, {257, 200}});
        cut[8] = 100; // a hundred entries, of which two are there
        QTest::newRow("TIFF directory running past the end") << cut << QSize(300, 200);
        QByteArray nowhere = tiffDirectory({{256, 300}, {257, 200}});
        nowhere[4] = char(0xff);
        QTest::newRow("TIFF directory past the end") << nowhere << QSize();
        const QByteArray exif = QByteArray("Exif\0\0", 6) + tiffDirectory({{274, 6}}, true);
        const auto big16 = [](quint64 value) { return integerBytes(value, 2, true); };
        const QByteArray frame = "\x08" + big16(200) + big16(300) + "\x03";
        const QByteArray jpeg = "\xff\xd8\xff\xe1" + big16(exif.size() + 2) + exif +
                                "\xff\xff\xc2" + big16(frame.size() + 2) + frame;
        QTest::newRow("JPEG turned by its EXIF") << jpeg << QSize(200, 300);
        QTest::newRow("JPEG cut in its frame header") << jpeg.chopped(4) << QSize();
        QTest::newRow("nothing") << QByteArray() << QSize();
    }

    void imageSizesAreReadFromTheHeader()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QCOMPARE(tessary::uprightImageSize(bytes), size);
    }
};

QTEST_GUILESS_MAIN(PayloadEquality)
#include "tst_payload.moc"
