#include "app/card/cardsupport.h"
#include "app/card/expandrule.h"
#include "app/card/relativetime.h"
#include "core/historymodel.h"
#include "preview/iconprovider.h"
#include "preview/imagereading.h"
#include "support/images.h"
#include "support/memory.h"

#include <QSignalSpy>
#include <QTest>

using namespace tessary;

namespace {

const QString kFamily = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467"); // 8 units
const QString kAccented = QStringLiteral("e\u0301\u0323");                            // 3 units
// One cluster of ten units: a text of few clusters that is still long.
const QString kStacked = QStringLiteral("a\u0300\u0301\u0302\u0303\u0304\u0305\u0306\u0307\u0308");

} // namespace

class CardLogicTest : public QObject {
    Q_OBJECT
private slots:
    void expandRule_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("expandable");
        QTest::newRow("4 lines") << "a\nb\nc\nd" << false;
        QTest::newRow("5 lines") << "a\nb\nc\nd\ne" << true;
        QTest::newRow("4 lines and a trailing LF") << "a\nb\nc\nd\n" << true;
        QTest::newRow("4 lines by lone CRs") << "a\rb\rc\rd" << false;
        QTest::newRow("5 lines by lone CRs") << "a\rb\rc\rd\re" << true;
        QTest::newRow("5 CRLF lines") << "a\r\nb\r\nc\r\nd\r\ne" << true;
        QTest::newRow("200 characters") << QString(200, 'x') << false;
        QTest::newRow("201 characters") << QString(201, 'x') << true;
        QTest::newRow("200 ZWJ emoji") << kFamily.repeated(200) << false;
        QTest::newRow("201 ZWJ emoji") << kFamily.repeated(201) << true;
        QTest::newRow("200 with combining marks") << kAccented.repeated(200) << false;
        QTest::newRow("201 with combining marks") << kAccented.repeated(201) << true;
        QTest::newRow("200 clusters of ten units") << kStacked.repeated(200) << false;
        QTest::newRow("201 clusters of ten units") << kStacked.repeated(201) << true;
        QTest::newRow("4 lines, 200 characters, then a mark on the last")
            << QString(194, 'x') + "\na\nb\nc\u0301" << false;
    }

    void expandRule()
    {
        QFETCH(QString, text);
        QFETCH(bool, expandable);
        QCOMPARE(needsExpandToggle(Payload::text(text).textExtent()), expandable);
    }

    // A card's toggle and an image card's size come from what was measured when the entry was
    // captured (on the clipboard's reader thread): building a card reads and allocates nothing in
    // proportion to its entry.
    void buildingACardTakesNothingInProportionToItsEntry()
    {
        HistoryModel history;
        const RelativeTimeFormatter formatter{QLocale(QLocale::English)};
        CardSupport support(history, formatter);
        // 24 MiB of TIFF whose strip offsets take libtiff 64 MiB to load, and 64 MiB of text.
        history.prepend(Entry::create(Payload::image(testing::stripedTiff(4 << 20))));
        history.prepend(Entry::create(Payload::text(QString(32 << 20, u'x'))));
        const QString text = history.entries().at(0).id.toString(QUuid::WithoutBraces);
        const QString image = history.entries().at(1).id.toString(QUuid::WithoutBraces);
        QSizeF size;
        bool expandable = false;
        QString shown;
        const qint64 growthKiB = testing::peakGrowthKiB([&] {
            size = support.imageSize(image);
            expandable = support.needsExpandToggle(text);
            shown = support.displayText(history.entries().at(0).payload.text());
        });
        QCOMPARE(size, QSizeF(1, 4 << 20));
        QVERIFY(expandable);
        QCOMPARE(shown.size(), kDisplayTextLimit);
        QCOMPARE_LT(growthKiB, 8 << 10);
    }

    // The size read from the header at capture is the size the decoder shows, sideways shots
    // and all.
    void imageSizesFromTheHeaderAgreeWithTheDecoder_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QSize>("size");
        using T = QImageIOHandler::Transformation;
        QTest::newRow("PNG") << testing::encodedImage({300, 200}, "PNG") << QSize(300, 200);
        QTest::newRow("TIFF") << testing::encodedImage({300, 200}, "TIFF") << QSize(300, 200);
        QTest::newRow("TIFF turned")
            << testing::encodedImage({300, 200}, "TIFF", Qt::red, T::TransformationRotate90)
            << QSize(200, 300);
        QTest::newRow("TIFF mirrored")
            << testing::encodedImage({300, 200}, "TIFF", Qt::red, T::TransformationMirror)
            << QSize(300, 200);
        QTest::newRow("JPEG turned")
            << testing::encodedImage({300, 200}, "JPEG", Qt::red, T::TransformationRotate270)
            << QSize(200, 300);
        QTest::newRow("TIFF of strips") << testing::stripedTiff(10) << QSize(1, 10);
        QTest::newRow("not an image") << QByteArray("GIF89a....") << QSize();
    }

    void imageSizesFromTheHeaderAgreeWithTheDecoder()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QSize, size);
        QCOMPARE(Payload::image(bytes).imageSize(), size);
        if (size.isValid())
            QCOMPARE(images::readUpright(bytes).size(), size);
    }

    void relativePhrase_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<qint64>("offsetMs"); // capture time minus now
        QTest::addColumn<QString>("phrase");
        constexpr qint64 s = 1000, min = 60 * s, day = 24 * 60 * min;
        QTest::newRow("en under a second") << "en_US" << -400LL << "0 seconds ago";
        QTest::newRow("en minute and a half") << "en_US" << -90 * s << "1 minute ago";
        QTest::newRow("en yesterday is numeric") << "en_US" << -day << "1 day ago";
        QTest::newRow("en weeks") << "en_US" << -15 * day << "2 weeks ago";
        QTest::newRow("en future") << "en_US" << 3 * min << "in 3 minutes";
        QTest::newRow("de minutes") << "de_DE" << -3 * min << "vor 3 Minuten";
    }

    void relativePhrase()
    {
        QFETCH(QString, locale);
        QFETCH(qint64, offsetMs);
        QFETCH(QString, phrase);
        const RelativeTimeFormatter formatter{QLocale(locale), "Europe/Berlin"};
        const QDateTime now = QDateTime::fromString("2026-03-15T12:00:00.250Z", Qt::ISODateWithMs);
        QCOMPARE(formatter.phrase(now.addMSecs(offsetMs), now), phrase);
        QVERIFY(formatter.phrase({}, now).isEmpty());
    }

    // Cards bind to `now`: while the panel shows them it moves every second while the newest
    // entry reads in seconds, then at least every minute, and only signals when it changed.
    // Hidden, it does not wake at all, not even for a new entry.
    void clockMovesOnlyWhileThePanelIsShown()
    {
        QDateTime now = QDateTime::fromString("2026-03-15T12:00:00Z", Qt::ISODate);
        HistoryModel history;
        const RelativeTimeFormatter formatter{QLocale(QLocale::English)};
        CardSupport support(history, formatter, nullptr, [&now] { return now; });
        QSignalSpy moved(&support, &CardSupport::nowChanged);
        support.setRunning(true);

        now = now.addSecs(7);
        history.prepend(Entry{QUuid::createUuid(), Payload::text("new"), now});
        QCOMPARE(moved.count(), 1);
        QCOMPARE(support.nextTickMs(), 1000);

        now = now.addSecs(61);
        support.refreshNow();
        support.refreshNow();
        QCOMPARE(moved.count(), 2);
        QCOMPARE(support.now(), now);
        QVERIFY(support.nextTickMs() > 1000 && support.nextTickMs() <= 60000);

        support.setRunning(false);
        QCOMPARE(support.nextTickMs(), -1);
        history.prepend(Entry{QUuid::createUuid(), Payload::text("while hidden"), now});
        QCOMPARE(support.nextTickMs(), -1);
        now = now.addSecs(5);
        support.setRunning(true); // shown again: the phrases are brought up to date at once
        QCOMPARE(support.now(), now);
        QCOMPARE(support.nextTickMs(), 1000);
    }

    // The "photo" and "doc" placeholders draw even where the icon theme lacks them.
    void placeholderIconsNeverMissing()
    {
        for (const char *id : {"image-x-generic", "text-x-generic", "no-such-icon"})
            QVERIFY2(!IconProvider::iconFor(id).pixmap(32, 32).isNull(), id);
    }
};

QTEST_MAIN(CardLogicTest)
#include "tst_cardlogic.moc"
