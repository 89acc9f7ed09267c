#include "app/card/dragdata.h"
#include "platform/x11testsupport.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QTest>

using namespace tessary;
using tessary::testing::readClipboardWithXclip;

namespace {

QByteArray encode(int width, int height, const char *format)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

QList<QByteArray> offeredTargets()
{
    const std::optional<QByteArray> targets = readClipboardWithXclip("TARGETS");
    return targets ? targets->trimmed().split('\n') : QList<QByteArray>{};
}

} // namespace

// What another X11 client gets from a drag's data. Qt converts a drag's mime data to X11
// targets the same way for the drag selection and for the clipboard, so the data is put on
// the clipboard of a private X server and read with xclip, a foreign client.
class CardDragX11Test : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void textArrivesAsText();
    void imageArrivesAsItsOwnBytesAndAsPng_data();
    void imageArrivesAsItsOwnBytesAndAsPng();
    void filesArriveAsTheFirstUri();
    void nothingToOfferOffersNoData_data();
    void nothingToOfferOffersNoData();

private:
    void offer(const Payload &payload)
    {
        QGuiApplication::clipboard()->setMimeData(dragMimeData(payload).release());
    }
};

void CardDragX11Test::initTestCase()
{
    QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
}

void CardDragX11Test::textArrivesAsText()
{
    const QString text = QStringLiteral("<b>caf\u00e9</b>\n\U0001F600");
    offer(Payload::text(text));
    QCOMPARE(readClipboardWithXclip("UTF8_STRING"), text.toUtf8());
    QCOMPARE(readClipboardWithXclip("text/plain"), text.toUtf8());
    // Markup in the text stays text: nothing is offered as HTML.
    QVERIFY(!offeredTargets().contains("text/html"));
}

void CardDragX11Test::imageArrivesAsItsOwnBytesAndAsPng_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("target");
    QTest::newRow("png") << encode(40, 30, "PNG") << QByteArray("image/png");
    QTest::newRow("tiff") << encode(40, 30, "TIFF") << QByteArray("image/tiff");
}

void CardDragX11Test::imageArrivesAsItsOwnBytesAndAsPng()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, target);
    offer(Payload::image(bytes));
    // The entry's own bytes, untouched, under their real type...
    QCOMPARE(readClipboardWithXclip(target), bytes);
    // ...and a PNG for receivers that want one, whatever the entry's format.
    const std::optional<QByteArray> png = readClipboardWithXclip("image/png");
    QVERIFY(png);
    QCOMPARE(QImage::fromData(*png).size(), QSize(40, 30));
}

void CardDragX11Test::filesArriveAsTheFirstUri()
{
    offer(Payload::files(
        {QUrl::fromLocalFile("/tmp/first file.txt"), QUrl::fromLocalFile("/tmp/second.txt")}));
    const std::optional<QByteArray> uris = readClipboardWithXclip("text/uri-list");
    QVERIFY(uris);
    QCOMPARE(uris->trimmed(), QByteArray("file:///tmp/first%20file.txt"));
}

void CardDragX11Test::nothingToOfferOffersNoData_data()
{
    QTest::addColumn<Payload>("payload");
    QTest::newRow("undecodable image") << Payload::image("\x89PNG\r\n\x1a\n truncated");
    QTest::newRow("no files") << Payload::files({});
}

void CardDragX11Test::nothingToOfferOffersNoData()
{
    QFETCH(Payload, payload);
    offer(payload);
    const QList<QByteArray> targets = offeredTargets();
    for (const QByteArray &target : targets)
        QVERIFY2(target == "TARGETS" || target == "TIMESTAMP" || target == "MULTIPLE" ||
                     target == "SAVE_TARGETS",
                 target.constData());
}

int main(int argc, char *argv[])
{
    tessary::testing::PrivateXServer server;
    if (!server.isRunning()) {
        qCritical("no Xvfb");
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    CardDragX11Test test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_carddragx11.moc"
