#include "app/card/cardsupport.h"
#include "app/card/dragdata.h"
#include "app/card/entryimageprovider.h"
#include "app/card/expandrule.h"
#include "app/card/iconprovider.h"
#include "app/card/relativetime.h"
#include "core/historymodel.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QMimeData>
#include <QQuickTextureFactory>
#include <QSignalSpy>
#include <QTest>

using namespace tessary;

namespace {

QByteArray encode(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QImage filled(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::darkCyan);
    return image;
}

QString repeated(const QString &piece, int times)
{
    QString text;
    for (int i = 0; i < times; ++i)
        text += piece;
    return text;
}

Entry entryAt(Payload payload, const QDateTime &capturedAt)
{
    Entry entry = Entry::create(std::move(payload));
    entry.capturedAt = capturedAt;
    return entry;
}

} // namespace

class CardLogicTest : public QObject {
    Q_OBJECT
private slots:
    void expandRule_data();
    void expandRule();

    void longTextsAreCutForDisplayBetweenClusters();

    void relativePhrase_data();
    void relativePhrase();
    void relativePhraseOfInvalidTimesIsEmpty();
    void oneSharedFormatter();
    void clockMovesFastWhileTheNewestEntryIsFresh();

    void expandedEntriesLastAsLongAsTheEntry();

    void dragOffersWhatAReceiverReads_data();
    void dragOffersWhatAReceiverReads();

    void tileImageDecodesAtTheDrawnSize_data();
    void tileImageDecodesAtTheDrawnSize();
    void imageProviderFollowsTheHistory();
    void imageSizeComesFromTheHeader();
    void placeholderIconsNeverMissing();
};

void CardLogicTest::expandRule_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expandable");

    const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467"); // 5 cp
    const QString flag = QStringLiteral("\U0001F1E9\U0001F1EA");                         // 2 cp
    const QString accented = QStringLiteral("e\u0301\u0323");                            // 3 cp

    QTest::newRow("empty") << QString() << false;
    QTest::newRow("4 lines") << QStringLiteral("a\nb\nc\nd") << false;
    QTest::newRow("5 lines") << QStringLiteral("a\nb\nc\nd\ne") << true;
    QTest::newRow("4 lines and a trailing LF") << QStringLiteral("a\nb\nc\nd\n") << true;
    QTest::newRow("4 empty pieces") << QStringLiteral("\n\n\n") << false;
    QTest::newRow("5 empty pieces") << QStringLiteral("\n\n\n\n") << true;
    QTest::newRow("CR alone splits nothing") << QStringLiteral("a\rb\rc\rd\re\rf") << false;
    QTest::newRow("4 CRLF lines") << QStringLiteral("a\r\nb\r\nc\r\nd") << false;
    QTest::newRow("5 CRLF lines") << QStringLiteral("a\r\nb\r\nc\r\nd\r\ne") << true;
    QTest::newRow("U+2028 is no line feed") << repeated(QStringLiteral("a\u2028"), 6) << false;
    QTest::newRow("200 characters") << repeated(QStringLiteral("x"), 200) << false;
    QTest::newRow("201 characters") << repeated(QStringLiteral("x"), 201) << true;
    QTest::newRow("200 on 4 lines") << repeated(QStringLiteral("x"), 197) + "\n\n\n" << false;
    QTest::newRow("200 ZWJ emoji") << repeated(family, 200) << false;
    QTest::newRow("201 ZWJ emoji") << repeated(family, 201) << true;
    QTest::newRow("200 flags") << repeated(flag, 200) << false;
    QTest::newRow("201 flags") << repeated(flag, 201) << true;
    QTest::newRow("200 with combining marks") << repeated(accented, 200) << false;
    QTest::newRow("201 with combining marks") << repeated(accented, 201) << true;
    QTest::newRow("CRLF is one cluster")
        << repeated(QStringLiteral("a\r\n"), 3) + repeated("b", 194) << false;
}

void CardLogicTest::expandRule()
{
    QFETCH(QString, text);
    QFETCH(bool, expandable);
    QCOMPARE(needsExpandToggle(text), expandable);
}

void CardLogicTest::longTextsAreCutForDisplayBetweenClusters()
{
    const QString shortText = repeated(QStringLiteral("x"), kDisplayTextLimit);
    QCOMPARE(displayText(shortText), shortText);

    // A 3-unit cluster straddling the limit is left out whole, never split.
    const QString accented = QStringLiteral("e\u0301\u0323");
    const QString text = repeated(QStringLiteral("x"), kDisplayTextLimit - 1) + accented + "tail";
    QCOMPARE(displayText(text), repeated(QStringLiteral("x"), kDisplayTextLimit - 1));

    const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467"); // 8 units
    const QString emoji = repeated(family, kDisplayTextLimit);
    const QString cut = displayText(emoji);
    QCOMPARE(cut.size() % family.size(), 0);
    QVERIFY(cut.size() <= kDisplayTextLimit && cut.size() > kDisplayTextLimit - family.size());
}

void CardLogicTest::relativePhrase_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<qint64>("offsetMs"); // capture time minus now
    QTest::addColumn<QString>("phrase");

    constexpr qint64 s = 1000, min = 60 * s, h = 60 * min, day = 24 * h;
    QTest::newRow("en just now") << "en_US" << 0LL << "0 seconds ago";
    QTest::newRow("en under a second") << "en_US" << -400LL << "0 seconds ago";
    QTest::newRow("en seconds") << "en_US" << -30 * s << "30 seconds ago";
    QTest::newRow("en one second") << "en_US" << -1 * s << "1 second ago";
    QTest::newRow("en minute and a half") << "en_US" << -90 * s << "1 minute ago";
    QTest::newRow("en hours") << "en_US" << -(2 * h + 59 * min) << "2 hours ago";
    QTest::newRow("en yesterday is numeric") << "en_US" << -day << "1 day ago";
    QTest::newRow("en weeks") << "en_US" << -15 * day << "2 weeks ago";
    QTest::newRow("en months") << "en_US" << -65 * day << "2 months ago";
    QTest::newRow("en years") << "en_US" << -400 * day << "1 year ago";
    QTest::newRow("en future") << "en_US" << 3 * min << "in 3 minutes";
    QTest::newRow("de just now") << "de_DE" << 0LL << "vor 0 Sekunden";
    QTest::newRow("de minutes") << "de_DE" << -3 * min << "vor 3 Minuten";
    QTest::newRow("de one day") << "de_DE" << -day << "vor 1 Tag";
    QTest::newRow("de days") << "de_DE" << -3 * day << "vor 3 Tagen";
    QTest::newRow("de future") << "de_DE" << h << "in 1 Stunde";
}

void CardLogicTest::relativePhrase()
{
    QFETCH(QString, locale);
    QFETCH(qint64, offsetMs);
    QFETCH(QString, phrase);
    const RelativeTimeFormatter formatter{QLocale(locale), "Europe/Berlin"};
    const QDateTime now = QDateTime::fromString("2026-03-15T12:00:00.250Z", Qt::ISODateWithMs);
    QCOMPARE(formatter.phrase(now.addMSecs(offsetMs), now), phrase);
}

void CardLogicTest::relativePhraseOfInvalidTimesIsEmpty()
{
    const RelativeTimeFormatter formatter{QLocale::c()};
    QVERIFY(formatter.phrase({}, QDateTime::currentDateTime()).isEmpty());
    // The C locale still speaks.
    const QDateTime now = QDateTime::currentDateTime();
    QCOMPARE(formatter.phrase(now.addSecs(-5), now), QStringLiteral("5 seconds ago"));
}

void CardLogicTest::oneSharedFormatter()
{
    QCOMPARE(&RelativeTimeFormatter::shared(), &RelativeTimeFormatter::shared());
}

void CardLogicTest::clockMovesFastWhileTheNewestEntryIsFresh()
{
    QDateTime now = QDateTime::fromString("2026-03-15T12:00:00Z", Qt::ISODate);
    HistoryModel history;
    history.prepend(entryAt(Payload::text("old"), now.addSecs(-3600)));
    CardSupport support(history, nullptr, [&now] { return now; });
    QSignalSpy moved(&support, &CardSupport::nowChanged);
    QCOMPARE(support.now(), now);
    QCOMPARE(support.tickInterval(), CardSupport::kSlowTickMs);
    QVERIFY(CardSupport::kSlowTickMs <= 60000);

    // A new entry reads in seconds: the clock moves at once and then every second...
    now = now.addSecs(7);
    history.prepend(entryAt(Payload::text("new"), now));
    QCOMPARE(moved.count(), 1);
    QCOMPARE(support.tickInterval(), CardSupport::kFastTickMs);
    QCOMPARE(support.relativeTime(now.addSecs(-1), support.now()).isEmpty(), false);

    // ...until it is a minute old.
    now = now.addSecs(61);
    support.refreshNow();
    QCOMPARE(moved.count(), 2);
    QCOMPARE(support.now(), now);
    QCOMPARE(support.tickInterval(), CardSupport::kSlowTickMs);

    // The same time again changes nothing bound to it.
    support.refreshNow();
    QCOMPARE(moved.count(), 2);
}

void CardLogicTest::expandedEntriesLastAsLongAsTheEntry()
{
    HistoryModel history;
    history.prepend(Entry::create(Payload::text("first")));
    history.prepend(Entry::create(Payload::text("second")));
    const QString first = history.entries().at(1).id.toString(QUuid::WithoutBraces);
    const QString second = history.entries().at(0).id.toString(QUuid::WithoutBraces);
    CardSupport support(history);
    QSignalSpy changed(&support, &CardSupport::expandedEntriesChanged);

    support.setExpanded(first, true);
    support.setExpanded(first, true);
    support.setExpanded(second, true);
    QCOMPARE(support.expandedEntries(), (QStringList{first, second}));
    QCOMPARE(changed.count(), 2);

    // Other changes of the history leave them; the entry's removal forgets it.
    history.prepend(Entry::create(Payload::text("third")));
    QCOMPARE(changed.count(), 2);
    history.truncate(2);
    QCOMPARE(support.expandedEntries(), QStringList{second});
    QCOMPARE(changed.count(), 3);
    support.setExpanded(second, false);
    QVERIFY(support.expandedEntries().isEmpty());
}

void CardLogicTest::dragOffersWhatAReceiverReads_data()
{
    QTest::addColumn<Payload>("payload");
    QTest::addColumn<QStringList>("formats");

    const QList<QUrl> files{QUrl::fromLocalFile("/tmp/a b.txt"), QUrl::fromLocalFile("/tmp/b"),
                            QUrl::fromLocalFile("/tmp/c")};
    QTest::newRow("text") << Payload::text(QStringLiteral("<b>x</b> \u00e9\n"))
                          << QStringList{"text/plain"};
    QTest::newRow("png") << Payload::image(encode(filled(30, 20), "PNG"))
                         << QStringList{"image/png", "application/x-qt-image"};
    QTest::newRow("tiff") << Payload::image(encode(filled(30, 20), "TIFF"))
                          << QStringList{"image/tiff", "application/x-qt-image"};
    QTest::newRow("undecodable image")
        << Payload::image(QByteArray("\x89PNG\r\n\x1a\nbroken")) << QStringList{};
    QTest::newRow("three files") << Payload::files(files) << QStringList{"text/uri-list"};
    QTest::newRow("no files") << Payload::files({}) << QStringList{};
}

void CardLogicTest::dragOffersWhatAReceiverReads()
{
    QFETCH(Payload, payload);
    QFETCH(QStringList, formats);
    const std::unique_ptr<QMimeData> mime = dragMimeData(payload);
    QCOMPARE(mime->formats(), formats);

    switch (payload.kind()) {
    case Payload::Kind::Text:
        QCOMPARE(mime->text(), payload.text());
        QCOMPARE(mime->data("text/plain"), payload.text().toUtf8());
        break;
    case Payload::Kind::Image:
        if (formats.isEmpty()) {
            QVERIFY(!mime->hasImage());
            break;
        }
        QCOMPARE(mime->data(formats.first()), payload.imageBytes());
        QCOMPARE(qvariant_cast<QImage>(mime->imageData()).size(), QSize(30, 20));
        break;
    case Payload::Kind::Files:
        if (formats.isEmpty()) {
            QVERIFY(!mime->hasUrls());
            break;
        }
        QCOMPARE(mime->urls(), QList<QUrl>{payload.fileUrls().first()});
        QCOMPARE(mime->data("text/uri-list"), QByteArray("file:///tmp/a%20b.txt\r\n"));
        break;
    }
}

void CardLogicTest::tileImageDecodesAtTheDrawnSize_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("requested");
    QTest::addColumn<QSize>("decoded");

    const QByteArray wide = encode(filled(400, 100), "PNG");
    QTest::newRow("fit inside") << wide << QSize(100, 100) << QSize(100, 25);
    QTest::newRow("fit to height") << wide << QSize(1000, 50) << QSize(200, 50);
    QTest::newRow("width only") << wide << QSize(200, 0) << QSize(200, 50);
    QTest::newRow("no size asked") << wide << QSize() << QSize(400, 100);
    QTest::newRow("never enlarged")
        << encode(filled(10, 10), "PNG") << QSize(600, 400) << QSize(10, 10);
    QTest::newRow("tiff") << encode(filled(400, 100), "TIFF") << QSize(40, 40) << QSize(40, 10);
    QTest::newRow("not an image") << QByteArray("hello") << QSize(40, 40) << QSize(0, 0);
    QTest::newRow("truncated png") << wide.left(wide.size() / 2) << QSize(40, 40) << QSize(0, 0);
}

void CardLogicTest::tileImageDecodesAtTheDrawnSize()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, requested);
    QFETCH(QSize, decoded);
    QString error;
    const QImage image = decodeScaledImage(bytes, requested, &error);
    QCOMPARE(image.size(), decoded);
    QCOMPARE(error.isEmpty(), !decoded.isEmpty());
}

void CardLogicTest::imageProviderFollowsTheHistory()
{
    HistoryModel history;
    const Entry picture =
        entryAt(Payload::image(encode(filled(400, 100), "PNG")), QDateTime::currentDateTime());
    history.prepend(picture);
    history.prepend(entryAt(Payload::image("garbage"), QDateTime::currentDateTime()));
    const QString brokenId = history.entries().first().id.toString(QUuid::WithoutBraces);
    const QString pictureId = picture.id.toString(QUuid::WithoutBraces);

    auto index = std::make_shared<EntryImageIndex>();
    new EntryImageIndexer(history, index);
    EntryImageProvider provider(index);

    const auto request = [&](const QString &id) {
        std::unique_ptr<QQuickImageResponse> response(
            provider.requestImageResponse(id, QSize(200, 200)));
        QSignalSpy finished(response.get(), &QQuickImageResponse::finished);
        [&] { QVERIFY(finished.wait(5000)); }();
        std::unique_ptr<QQuickTextureFactory> texture(response->textureFactory());
        return std::pair(texture ? texture->image() : QImage(), response->errorString());
    };

    auto [image, error] = request(pictureId);
    QCOMPARE(image.size(), QSize(200, 50));
    QVERIFY(error.isEmpty());
    std::tie(image, error) = request(brokenId);
    QVERIFY(image.isNull());
    QVERIFY(!error.isEmpty());

    // Once the entry has left the history its bytes are gone from the decoding threads too.
    history.truncate(1);
    std::tie(image, error) = request(pictureId);
    QVERIFY(image.isNull());
    QVERIFY(!error.isEmpty());
}

void CardLogicTest::imageSizeComesFromTheHeader()
{
    HistoryModel history;
    CardSupport support(history);
    QCOMPARE(support.imageSize(encode(filled(30, 20), "PNG")), QSize(30, 20));
    QCOMPARE(support.imageSize(encode(filled(30, 20), "TIFF")), QSize(30, 20));
    QCOMPARE(support.imageSize("not an image"), QSize());
    QCOMPARE(support.imageSize({}), QSize());
}

void CardLogicTest::placeholderIconsNeverMissing()
{
    for (const QString &id : {QStringLiteral("image-x-generic"), QStringLiteral("text-x-generic"),
                              QStringLiteral("no-such-icon-anywhere,nor-this"), QString()}) {
        QVERIFY2(!CardIconProvider::iconFor(id).pixmap(32, 32).isNull(), qPrintable(id));
    }
}

QTEST_MAIN(CardLogicTest)
#include "tst_cardlogic.moc"
