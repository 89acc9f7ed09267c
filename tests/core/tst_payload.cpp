#include "core/entry.h"

#include <QTest>

using tessary::Payload;

Q_DECLARE_METATYPE(Payload)

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
};

QTEST_GUILESS_MAIN(PayloadEquality)
#include "tst_payload.moc"
