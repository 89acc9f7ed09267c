#include "platform/x11/selectionformats.h"

#include <QTest>

using namespace tessary::x11;

class SelectionFormats : public QObject {
    Q_OBJECT
private slots:
    void uriList_data();
    void uriList();
    void gnomeCopiedFiles_data();
    void gnomeCopiedFiles();
    void encodedListsReadBackInOrder();
    void text_data();
    void text();
};

void SelectionFormats::uriList_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("urls"); // "" for an entry that is no absolute URI
    QTest::addColumn<bool>("allFiles");

    QTest::newRow("CRLF lines") << QByteArray("file:///tmp/a\r\nfile:///tmp/b\r\n")
                                << QStringList{"file:///tmp/a", "file:///tmp/b"} << true;
    QTest::newRow("bare LF, no final newline")
        << QByteArray("file:///tmp/a\nfile:///tmp/b")
        << QStringList{"file:///tmp/a", "file:///tmp/b"} << true;
    QTest::newRow("comments and blank lines are skipped")
        << QByteArray("# copied by a file manager\r\n\r\nfile:///tmp/a\r\n#file:///x\r\n")
        << QStringList{"file:///tmp/a"} << true;
    QTest::newRow("percent-encoding is decoded") << QByteArray("file:///tmp/a%20b%C3%A9.txt\r\n")
                                                 << QStringList{"file:///tmp/a bé.txt"} << true;
    QTest::newRow("a web URL among files")
        << QByteArray("file:///tmp/a\r\nhttps://example.org/\r\n")
        << QStringList{"file:///tmp/a", "https://example.org/"} << false;
    QTest::newRow("a relative reference") << QByteArray("file:///tmp/a\r\nnotes/b.txt\r\n")
                                          << QStringList{"file:///tmp/a", ""} << false;
    QTest::newRow("a malformed escape")
        << QByteArray("file:///tmp/%zz\r\n") << QStringList{""} << false;
    QTest::newRow("a trailing NUL some owners add")
        << QByteArray("file:///tmp/a\r\n\0", 16) << QStringList{"file:///tmp/a"} << true;
    QTest::newRow("only comments") << QByteArray("# nothing\r\n") << QStringList{} << false;
}

void SelectionFormats::uriList()
{
    QFETCH(QByteArray, data);
    QFETCH(QStringList, urls);
    QFETCH(bool, allFiles);

    const QList<QUrl> parsed = parseUriList(data);
    QStringList texts;
    for (const QUrl &url : parsed)
        texts.append(url.isValid() ? url.toString() : QString());
    QCOMPARE(texts, urls);
    const bool files =
        !parsed.isEmpty() &&
        std::all_of(parsed.cbegin(), parsed.cend(), [](const QUrl &u) { return u.isLocalFile(); });
    QCOMPARE(files, allFiles);
}

void SelectionFormats::gnomeCopiedFiles_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QStringList>("urls");

    QTest::newRow("copy") << QByteArray("copy\nfile:///tmp/a\nfile:///tmp/b%20c")
                          << QStringList{"file:///tmp/a", "file:///tmp/b c"};
    QTest::newRow("cut, CRLF, trailing newline")
        << QByteArray("cut\r\nfile:///tmp/a\r\n") << QStringList{"file:///tmp/a"};
    QTest::newRow("no action line") << QByteArray("file:///tmp/a\nfile:///tmp/b") << QStringList{};
    QTest::newRow("empty") << QByteArray() << QStringList{};
}

void SelectionFormats::gnomeCopiedFiles()
{
    QFETCH(QByteArray, data);
    QFETCH(QStringList, urls);
    QStringList texts;
    for (const QUrl &url : parseGnomeCopiedFiles(data))
        texts.append(url.toString());
    QCOMPARE(texts, urls);
}

void SelectionFormats::encodedListsReadBackInOrder()
{
    const QList<QUrl> urls{QUrl::fromLocalFile("/tmp/z b#1.txt"), QUrl::fromLocalFile("/tmp/é"),
                           QUrl::fromLocalFile("/tmp/a")};
    QCOMPARE(encodeUriList(urls),
             QByteArray("file:///tmp/z%20b%231.txt\r\nfile:///tmp/%C3%A9\r\nfile:///tmp/a\r\n"));
    QCOMPARE(parseUriList(encodeUriList(urls)), urls);
    QCOMPARE(encodeGnomeCopiedFiles(urls).left(5), QByteArray("copy\n"));
    QCOMPARE(parseGnomeCopiedFiles(encodeGnomeCopiedFiles(urls)), urls);
}

void SelectionFormats::text_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("latin1");
    QTest::addColumn<QString>("expected");

    const QChar replacement = QChar::ReplacementCharacter;
    QTest::newRow("UTF-8 kept exactly, blanks and breaks included")
        << QByteArray("  caf\xc3\xa9\r\n\t") << false << QStringLiteral("  café\r\n\t");
    QTest::newRow("a stray continuation byte")
        << QByteArray("a\x80z") << false << QString("a") + replacement + "z";
    QTest::newRow("a truncated sequence at the end")
        << QByteArray("ab\xe2\x82") << false << QString("ab") + QString(2, replacement);
    QTest::newRow("an overlong encoding")
        << QByteArray("\xc0\xaf") << false << QString(2, replacement);
    QTest::newRow("an encoded surrogate")
        << QByteArray("\xed\xa0\x80") << false << QString(3, replacement);
    QTest::newRow("NUL terminator dropped") << QByteArray("abc\0", 4) << false << "abc";
    QTest::newRow("STRING is Latin-1") << QByteArray("caf\xe9") << true << QStringLiteral("café");
}

void SelectionFormats::text()
{
    QFETCH(QByteArray, data);
    QFETCH(bool, latin1);
    QFETCH(QString, expected);
    QCOMPARE(decodeText(data, latin1 ? TextEncoding::Latin1 : TextEncoding::Utf8), expected);
}

QTEST_GUILESS_MAIN(SelectionFormats)
#include "tst_x11formats.moc"
