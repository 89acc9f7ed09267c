// The previewer window: one window that shows one file at a time, replaced while open.

#include "preview/filethumbnailsource.h"
#include "preview/previewcontroller.h"
#include "preview/previewwindow.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QTemporaryDir>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(TessaryPlugin)

using namespace tessary;

namespace {

QUrl writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(bytes);
    return QUrl::fromLocalFile(path);
}

QByteArray pngBytes(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return bytes;
}

class NoSound : public SoundPlayer {
public:
    void playCopyConfirmation() override {}
    void playErrorBeep() override {}
};

} // namespace

class TestPreviewWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // Shows the file and waits until its content is in place.
    static bool showAndWait(PreviewWindow &window, const QUrl &url)
    {
        window.show(url);
        return QTest::qWaitFor(
            [&] { return window.content().kind() != PreviewContent::Kind::Loading; }, 5000);
    }

    template <typename T = QQuickItem> static T *item(PreviewWindow &window, const char *name)
    {
        return window.view()->rootObject()->findChild<T *>(QString::fromLatin1(name));
    }

private slots:
    void initTestCase()
    {
        // The thumbnail view reads the shared cache: keep it to ours.
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("cache"))));
    }

    void replacesWhatItShowsWhileOpen()
    {
        PreviewWindow window;
        const QString text = QStringLiteral("first line\nsecond, ü\n");
        QVERIFY(showAndWait(window, writeFile(path(QStringLiteral("notes.txt")), text.toUtf8())));
        QVERIFY(window.view()->status() == QQuickView::Ready);
        QVERIFY(window.isVisible());
        QCOMPARE(window.content().kind(), PreviewContent::Kind::Text);
        QTRY_VERIFY(item(window, "previewText"));
        QCOMPARE(window.content().text(), text);
        QCOMPARE(item(window, "previewText")->property("count").toInt(), 1);
        QCOMPARE(window.view()->title(), QStringLiteral("notes.txt"));

        QQuickView *view = window.view();
        const QUrl image = writeFile(path(QStringLiteral("picture.png")), pngBytes({300, 200}));
        QVERIFY(showAndWait(window, image));
        QCOMPARE(window.view(), view); // the same window, still open
        QVERIFY(window.isVisible());
        QCOMPARE(window.content().kind(), PreviewContent::Kind::Image);
        QCOMPARE(window.content().imageSize(), QSize(300, 200));
        QTRY_VERIFY(item(window, "previewImage"));
        QTRY_COMPARE(item(window, "previewImage")->property("status").toInt(), 1); // Ready
        QVERIFY(!item(window, "previewText"));
        QCOMPARE(window.view()->title(), QStringLiteral("picture.png"));
    }

    void imagesFitTheWindowOrShowTheirOwnResolution()
    {
        PreviewWindow window;
        QVERIFY(
            showAndWait(window, writeFile(path(QStringLiteral("big.png")), pngBytes({1500, 900}))));
        QTRY_VERIFY(item(window, "previewImage"));
        QQuickItem *image = item(window, "previewImage");
        QTRY_COMPARE(image->property("status").toInt(), 1);
        QCOMPARE(window.view()->devicePixelRatio(), 1.0);
        QCOMPARE(QSizeF(image->width(), image->height()),
                 QSizeF(720, 432)); // fitted, proportions kept
        window.content().setZoomed(true);
        QCOMPARE(QSizeF(image->width(), image->height()), QSizeF(1500, 900));

        // The next file starts fitted again; a small one is never enlarged.
        QVERIFY(showAndWait(window,
                            writeFile(path(QStringLiteral("small.png")), pngBytes({300, 200}))));
        QVERIFY(!window.content().zoomed());
        QTRY_VERIFY(item(window, "previewImage"));
        image = item(window, "previewImage");
        QTRY_COMPARE(image->property("status").toInt(), 1);
        QCOMPARE(QSizeF(image->width(), image->height()), QSizeF(300, 200));
    }

    void loadingOvertakenByAnotherFileIsDropped()
    {
        PreviewWindow window;
        window.show(writeFile(path(QStringLiteral("a.txt")), "a"));
        QVERIFY(showAndWait(window, writeFile(path(QStringLiteral("b.txt")), "b")));
        QTest::qWait(50);
        QCOMPARE(window.content().text(), QStringLiteral("b"));
        QCOMPARE(window.content().fileName(), QStringLiteral("b.txt"));
    }

    void longTextIsCut()
    {
        PreviewWindow window;
        // One long line: cut into pieces, the view lays out only those on screen.
        const QByteArray text(PreviewContent::kMaxTextBytes + 10, 'x');
        QVERIFY(showAndWait(window, writeFile(path(QStringLiteral("long.txt")), text)));
        QTRY_VERIFY(item(window, "previewText"));
        QCOMPARE(item(window, "previewText")->property("count").toInt(),
                 PreviewContent::kMaxTextBytes / PreviewContent::kTextBlockLength);
        QCOMPARE(window.content().text().size(), PreviewContent::kMaxTextBytes);
        QVERIFY(window.content().truncated());
    }

    void textIsCutIntoPiecesAtLineBreaks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("blocks");
        QTest::newRow("empty") << QString() << QStringList{QString()};
        QTest::newRow("short lines gathered") << "ab\ncd\nef" << QStringList{"ab\ncd", "ef"};
        QTest::newRow("trailing newline kept") << "abcd\n" << QStringList{"abcd\n"};
        QTest::newRow("long line cut")
            << "ab\nxxxxxxxxxxxxy\ncd\ne" << QStringList{"ab", "xxxxx", "xxxxx", "xxy", "cd\ne"};
        QTest::newRow("surrogate pair kept whole")
            << QString(QStringLiteral("xxxx") + QChar(0xD83D) + QChar(0xDE00) + "yy")
            << QStringList{"xxxx", QString(QChar(0xD83D)) + QChar(0xDE00) + "yy"};
    }

    void textIsCutIntoPiecesAtLineBreaks()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, blocks);
        QCOMPARE(splitTextBlocks(text, 5), blocks);
    }

    void describesFilesItCannotRender()
    {
        PreviewWindow window;
        QVERIFY(showAndWait(window,
                            writeFile(path(QStringLiteral("data.bin")), QByteArray(3000, '\0'))));
        QCOMPARE(window.content().kind(), PreviewContent::Kind::Other);
        QCOMPARE(window.content().fileName(), QStringLiteral("data.bin"));
        QVERIFY(!window.content().typeName().isEmpty());
        QVERIFY2(window.content().sizeText().contains(QStringLiteral("2.9")),
                 qPrintable(window.content().sizeText()));
        QTRY_VERIFY(item(window, "previewFileName"));
        QCOMPARE(item(window, "previewFileName")->property("text").toString(),
                 QStringLiteral("data.bin"));

        QVERIFY(showAndWait(window, QUrl::fromLocalFile(m_dir.path())));
        QCOMPARE(window.content().kind(), PreviewContent::Kind::Other);
        QCOMPARE(window.content().sizeText(), QString());
    }

    void saysWhenAFileCannotBeShown_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // empty: no file at all
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "gone.txt" << QByteArray() << "no longer exists";
        QTest::newRow("broken image")
            << "broken.png" << QByteArray("\x89PNG\r\n\x1a\nnope") << "not a readable image";
    }

    void saysWhenAFileCannotBeShown()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        PreviewWindow window;
        const QUrl url =
            bytes.isEmpty() ? QUrl::fromLocalFile(path(name)) : writeFile(path(name), bytes);
        QVERIFY(showAndWait(window, url));
        QCOMPARE(window.content().kind(), PreviewContent::Kind::Error);
        QVERIFY2(window.content().errorMessage().contains(message),
                 qPrintable(window.content().errorMessage()));
        QVERIFY(window.content().errorMessage().contains(name));
        QTRY_VERIFY(item(window, "previewError"));
        QCOMPARE(item(window, "previewError")->property("text").toString(),
                 window.content().errorMessage());
    }

    void spaceAndEscapeCloseIt()
    {
        PreviewWindow window;
        const QUrl url = writeFile(path(QStringLiteral("close.txt")), "x");
        for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Escape}) {
            QVERIFY(showAndWait(window, url));
            QVERIFY(window.isVisible());
            QTest::keyClick(window.view(), Qt::Key_A);
            QVERIFY(window.isVisible());
            QTest::keyClick(window.view(), key);
            QVERIFY(!window.isVisible());
        }
        // Closed, it opens again for the next file.
        QVERIFY(showAndWait(window, url));
        QVERIFY(window.isVisible());
    }

    // The controller as the app makes it: staged in the runtime directory, shown in the
    // process-wide window, which outlives the controller and goes before the application.
    void controllerPreviewsIntoTheProcessWideWindow()
    {
        const QString runtime = m_dir.filePath(QStringLiteral("runtime"));
        QVERIFY(QDir().mkpath(runtime));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        HistoryModel history;
        history.prepend(Entry::create(Payload::text(QStringLiteral("from the clipboard"))));
        NoSound sound;
        {
            PreviewController controller(history, sound);
            controller.previewRow(0);
        }
        PreviewWindow &window = PreviewWindow::instance();
        QCOMPARE(&window, &PreviewWindow::instance());
        QVERIFY(window.isVisible());
        QTRY_COMPARE(window.content().text(), QStringLiteral("from the clipboard"));
        QCOMPARE(QFileInfo(window.content().url().toLocalFile()).absolutePath(),
                 runtime + QStringLiteral("/tessary"));
    }

    // The card's thumbnail view: the icon first, then the picture made here.
    void fileThumbnailShowsIconThenPicture()
    {
        QQmlEngine engine;
        engine.addImportPath(QStringLiteral("qrc:/"));
        registerPreviewQmlTypes(engine);
        QQmlComponent component(&engine);
        component.setData("import Tessary\nFileThumbnail { width: 296; height: 140 }", QUrl());
        const QUrl image = writeFile(path(QStringLiteral("thumb.png")), pngBytes({1200, 400}));
        std::unique_ptr<QObject> view(
            component.createWithInitialProperties({{QStringLiteral("url"), image}}));
        QVERIFY2(view, qPrintable(component.errorString()));
        auto *source = view->findChild<FileThumbnailSource *>();
        QVERIFY(source);
        QVERIFY(!source->iconSource().isEmpty());
        QTRY_VERIFY(view->property("showsThumbnail").toBool());

        const QUrl text = writeFile(path(QStringLiteral("thumb.txt")), "just words");
        view->setProperty("url", text);
        QVERIFY(!view->property("showsThumbnail").toBool());
        QTest::qWait(200);
        QVERIFY(!view->property("showsThumbnail").toBool());
    }
};

QTEST_MAIN(TestPreviewWindow)
#include "tst_previewwindow.moc"
