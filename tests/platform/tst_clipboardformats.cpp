// File lists as owners spell them: which count as lists of files. That those go back out as the
// very same list is checked for every input by the file-list fuzz target.

#include "platform/formats/clipboardformats.h"

#include <QTest>

using namespace tessary;

class ClipboardFormatsTest : public QObject {
    Q_OBJECT
private slots:
    void onlyListsOfFilePathsAreFiles_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QList<QUrl>>("files"); // empty: not a list of files
        const QList<QUrl> none;
        QTest::newRow("paths, escapes")
            << QByteArray("file:///tmp/a\r\nfile:///tmp/b%20c\r\n")
            << QList{QUrl::fromLocalFile("/tmp/a"), QUrl::fromLocalFile("/tmp/b c")};
        QTest::newRow("a host's share")
            << QByteArray("file://host/share/x") << QList{QUrl("file://host/share/x")};
        QTest::newRow("UTF-8 as it is")
            << QByteArray("file:///tmp/caf\xc3\xa9") << QList{QUrl::fromLocalFile("/tmp/café")};
        QTest::newRow("bytes that are no UTF-8") << QByteArray("file:///tmp/caf\xe9") << none;
        QTest::newRow("no path") << QByteArray("file://host") << none;
        QTest::newRow("a relative path") << QByteArray("file:tmp/a") << none;
        QTest::newRow("a fragment") << QByteArray("file:///tmp/a#b") << none;
        QTest::newRow("a query") << QByteArray("file:///tmp/a?b") << none;
    }

    void onlyListsOfFilePathsAreFiles()
    {
        QFETCH(QByteArray, list);
        QFETCH(QList<QUrl>, files);
        for (const QList<QUrl> &urls :
             {parseUriList(list), parseGnomeCopiedFiles("copy\n" + list)}) {
            const bool allFiles = std::all_of(urls.cbegin(), urls.cend(),
                                              [](const QUrl &url) { return url.isLocalFile(); });
            QCOMPARE(allFiles ? urls : QList<QUrl>(), files);
        }
    }
};

QTEST_GUILESS_MAIN(ClipboardFormatsTest)
#include "tst_clipboardformats.moc"
