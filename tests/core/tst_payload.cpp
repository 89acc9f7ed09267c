#include "core/entry.h"

#include <QTest>

using tessary::Payload;

Q_DECLARE_METATYPE(Payload)

class PayloadEquality : public QObject {
    Q_OBJECT
private slots:
    void equality_data();
    void equality();
    void sharedStorageIsEqual();
    void entriesOfEqualPayloadsAreEqualDespiteIdentity();
};

namespace {
QUrl file(const char *path)
{
    return QUrl::fromLocalFile(QString::fromUtf8(path));
}
} // namespace

void PayloadEquality::equality_data()
{
    QTest::addColumn<Payload>("a");
    QTest::addColumn<Payload>("b");
    QTest::addColumn<bool>("equal");

    auto text = [](const char16_t *s) { return Payload::text(QString::fromUtf16(s)); };
    QTest::newRow("same text") << text(u"abc") << text(u"abc") << true;
    QTest::newRow("trailing blank matters") << text(u"abc") << text(u"abc ") << false;
    QTest::newRow("case matters") << text(u"abc") << text(u"ABC") << false;
    QTest::newRow("precomposed vs decomposed") << text(u"caf\u00e9") << text(u"cafe\u0301") << true;
    QTest::newRow("canonical order of marks")
        << text(u"a\u0323\u0307") << text(u"a\u0307\u0323") << true;
    QTest::newRow("compatibility forms stay distinct") << text(u"\ufb01") << text(u"fi") << false;
    QTest::newRow("line ending style matters") << text(u"a\nb") << text(u"a\r\nb") << false;

    QTest::newRow("same bytes") << Payload::image("\x89PNG1234") << Payload::image("\x89PNG1234")
                                << true;
    QTest::newRow("one byte differs")
        << Payload::image("\x89PNG1234") << Payload::image("\x89PNG1235") << false;
    QTest::newRow("only length differs")
        << Payload::image("\x89PNG1234") << Payload::image("\x89PNG12345") << false;

    const QList<QUrl> ab{file("/a"), file("/b")};
    QTest::newRow("same files") << Payload::files(ab) << Payload::files({file("/a"), file("/b")})
                                << true;
    QTest::newRow("order matters")
        << Payload::files(ab) << Payload::files({file("/b"), file("/a")}) << false;
    QTest::newRow("prefix list") << Payload::files({file("/a")}) << Payload::files(ab) << false;
    QTest::newRow("no path normalisation")
        << Payload::files({file("/tmp/x")}) << Payload::files({file("/tmp/./x")}) << false;

    QTest::newRow("text spelling a file URL is not files")
        << text(u"file:///a") << Payload::files({file("/a")}) << false;
    QTest::newRow("text is never image") << text(u"abc") << Payload::image("abc") << false;
}

void PayloadEquality::equality()
{
    QFETCH(Payload, a);
    QFETCH(Payload, b);
    QFETCH(bool, equal);
    QCOMPARE(a == b, equal);
    QCOMPARE(b == a, equal);
}

void PayloadEquality::sharedStorageIsEqual()
{
    const QByteArray bytes(1 << 20, 'x');
    QVERIFY(Payload::image(bytes) == Payload::image(bytes));
    const QList<QUrl> urls{QUrl::fromLocalFile("/a")};
    QVERIFY(Payload::files(urls) == Payload::files(urls));
}

void PayloadEquality::entriesOfEqualPayloadsAreEqualDespiteIdentity()
{
    const auto first = tessary::Entry::create(Payload::text("abc"));
    const auto second = tessary::Entry::create(Payload::text("abc"));
    QVERIFY(first.id != second.id);
    QCOMPARE(first.id.version(), QUuid::Random);
    QVERIFY(first.payload == second.payload);
}

QTEST_GUILESS_MAIN(PayloadEquality)
#include "tst_payload.moc"
