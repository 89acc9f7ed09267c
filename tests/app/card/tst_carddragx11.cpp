#include "app/card/dragdata.h"
#include "platform/x11testsupport.h"
#include "support/images.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>

using namespace tessary;
using tessary::testing::readClipboardWithXclip;

// What another X11 client gets from a drag's data. Qt converts mime data to X11 targets the
// same way for the drag selection and for the clipboard, so the drag's data is put on the
// clipboard of a private X server and read back with xclip, a foreign client.
class CardDragX11Test : public QObject {
    Q_OBJECT
private slots:
    void receiverReadsWhatTheDragOffers_data()
    {
        QTest::addColumn<Payload>("payload");
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QByteArray>("bytes");
        const QString text = QStringLiteral("<b>caf\u00e9</b>\n\U0001F600");
        const QByteArray png = testing::encodedImage({40, 30}, "PNG"),
                         tiff = testing::encodedImage({40, 30}, "TIFF");
        QTest::newRow("text") << Payload::text(text) << QByteArray("UTF8_STRING") << text.toUtf8();
        QTest::newRow("png") << Payload::image(png) << QByteArray("image/png") << png;
        QTest::newRow("tiff") << Payload::image(tiff) << QByteArray("image/tiff") << tiff;
        QTest::newRow("first of the files")
            << Payload::files(
                   {QUrl::fromLocalFile("/tmp/first file"), QUrl::fromLocalFile("/tmp/b")})
            << QByteArray("text/uri-list") << QByteArray("file:///tmp/first%20file\r\n");
    }

    void receiverReadsWhatTheDragOffers()
    {
        QFETCH(Payload, payload);
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, bytes);
        QGuiApplication::clipboard()->setMimeData(dragMimeData(payload).release());
        QCOMPARE(readClipboardWithXclip(target), bytes);
        // Images also come decoded: a PNG for receivers that want one, whatever the entry's type.
        if (payload.kind() == Payload::Kind::Image)
            QCOMPARE(QImage::fromData(readClipboardWithXclip("image/png").value_or("")).size(),
                     QSize(40, 30));
    }
};

int main(int argc, char *argv[])
{
    tessary::testing::PrivateXServer server;
    if (!server.isRunning())
        qFatal("no Xvfb");
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    CardDragX11Test test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_carddragx11.moc"
