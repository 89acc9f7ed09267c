#include "app/card/dragdata.h"
#include "cardfixture.h"
#include "platform/x11testsupport.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QProcess>
#include <QQmlComponent>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(TessaryPlugin)

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

// A drop target that keeps what it was given, as a receiving application would read it.
class DropRecorder : public QQuickItem {
public:
    DropRecorder() { setFlag(ItemAcceptsDrops); }
    int drops = 0;
    QStringList formats;
    QByteArray png;
    QList<QUrl> urls;
    QString text;

protected:
    void dragEnterEvent(QDragEnterEvent *event) override { event->acceptProposedAction(); }
    void dragMoveEvent(QDragMoveEvent *event) override { event->acceptProposedAction(); }
    void dropEvent(QDropEvent *event) override
    {
        const QMimeData *mime = event->mimeData();
        formats = mime->formats();
        png = mime->data("image/png");
        urls = mime->urls();
        text = mime->text();
        ++drops;
        event->acceptProposedAction();
    }
};

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
    void pointerDragDropsTheEntry_data();
    void pointerDragDropsTheEntry();

private:
    tessary::test::CardFixture m_fixture;
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

void CardDragX11Test::pointerDragDropsTheEntry_data()
{
    QTest::addColumn<QString>("entry");
    QTest::newRow("text") << "text";
    QTest::newRow("image") << "wide";
    QTest::newRow("files") << "files";
}

// The whole gesture with the X server's own pointer: press on the tile, move, release over a
// drop target in another window. Then the card still answers the pointer.
void CardDragX11Test::pointerDragDropsTheEntry()
{
    QFETCH(QString, entry);
    const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
    if (xdotool.isEmpty())
        QSKIP("xdotool is not installed");

    QQuickView source;
    m_fixture.install(*source.engine());
    source.setGeometry(0, 0, 340, 220);
    QQmlComponent component(source.engine());
    component.setData("import QtQuick\nimport Tessary\nClipboardCard { x: 10; y: 10; width: 320 }",
                      {});
    QQuickItem *card =
        qobject_cast<QQuickItem *>(component.createWithInitialProperties(m_fixture.entry(entry)));
    QVERIFY2(card, qPrintable(component.errorString()));
    card->setParent(&source);
    card->setParentItem(source.contentItem());
    source.show();

    QQuickView target;
    target.setGeometry(360, 0, 240, 220);
    auto *recorder = new DropRecorder;
    recorder->setParent(&target);
    recorder->setParentItem(target.contentItem());
    recorder->setSize({240, 220});
    target.show();
    QVERIFY(QTest::qWaitForWindowExposed(&source));
    QVERIFY(QTest::qWaitForWindowExposed(&target));

    const QPoint from = source.mapToGlobal(QPoint(60, 30));
    const QPoint to = target.mapToGlobal(QPoint(120, 110));
    QStringList script{"mousemove",
                       QString::number(from.x()),
                       QString::number(from.y()),
                       "sleep",
                       "0.2",
                       "mousedown",
                       "1"};
    for (int step = 1; step <= 8; ++step) {
        const QPoint at = from + (to - from) * step / 8;
        script << "mousemove" << QString::number(at.x()) << QString::number(at.y()) << "sleep"
               << "0.1";
    }
    script << "sleep"
           << "0.3"
           << "mouseup"
           << "1";
    QProcess pointer;
    pointer.start(xdotool, script);
    QTRY_COMPARE_WITH_TIMEOUT(recorder->drops, 1, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(pointer.state(), QProcess::NotRunning, 5000);

    const tessary::Payload payload = [&] {
        const tessary::Entry &e = m_fixture.history().entries().at(
            m_fixture.history().rowOf(card->property("entryId").toString()));
        return e.payload;
    }();
    switch (payload.kind()) {
    case tessary::Payload::Kind::Text:
        QCOMPARE(recorder->text, payload.text());
        break;
    case tessary::Payload::Kind::Image:
        QCOMPARE(recorder->png, payload.imageBytes());
        break;
    case tessary::Payload::Kind::Files:
        QCOMPARE(recorder->urls, QList<QUrl>{payload.fileUrls().first()});
        break;
    }

    // No pointer grab is left behind: hovering the card and pressing Copy still work.
    QSignalSpy hovered(card, SIGNAL(hoverChanged(bool)));
    QSignalSpy copied(card, SIGNAL(copyRequested()));
    card->setProperty("highlighted", true);
    auto *copy = card->findChild<QQuickItem *>("copyButton");
    QVERIFY(copy);
    const QPoint copyAt =
        copy->mapToGlobal(QPointF(copy->width() / 2, copy->height() / 2)).toPoint();
    pointer.start(xdotool,
                  {"mousemove", QString::number(copyAt.x() - 30), QString::number(copyAt.y()),
                   "sleep", "0.2", "mousemove", QString::number(copyAt.x()),
                   QString::number(copyAt.y()), "sleep", "0.2", "click", "1"});
    QTRY_COMPARE_WITH_TIMEOUT(copied.count(), 1, 5000);
    QTRY_COMPARE_WITH_TIMEOUT(pointer.state(), QProcess::NotRunning, 5000);
    QVERIFY(!hovered.isEmpty());
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
