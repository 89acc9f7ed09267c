// The previewer window: one window that shows one file at a time, replaced while open.

#include "preview/filethumbnails.h"
#include "preview/previewcontroller.h"
#include "preview/previewwindow.h"
#include "preview/stager.h"
#include "preview/thumbnailer.h"
#include "support/countingsound.h"
#include "support/images.h"
#include "support/memory.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QQuickItem>
#include <QQuickView>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QtQml/qqmlextensionplugin.h>

Q_IMPORT_QML_PLUGIN(TessaryPlugin)

using namespace tessary;

class TestPreviewWindow : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QThreadPool m_pool;
    SystemThumbnailer m_thumbnailer{QDBusConnection::sessionBus(), m_pool};
    FileThumbnails m_thumbnails{m_thumbnailer};

    QUrl writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(m_dir.filePath(name));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size()
                   ? QUrl::fromLocalFile(file.fileName())
                   : QUrl();
    }

    // Shows the file and waits until its content is in place.
    static bool showAndWait(PreviewWindow &window, const QUrl &url)
    {
        window.show(url, url.fileName());
        return QTest::qWaitFor(
            [&] { return window.content().kind() != PreviewContent::Kind::Loading; }, 5000);
    }

    // The named item once it is there (null after five seconds).
    static QQuickItem *item(PreviewWindow &window, const char *name)
    {
        QQuickItem *found = nullptr;
        const bool there = QTest::qWaitFor(
            [&] {
                found = window.view()->rootObject()->findChild<QQuickItem *>(name);
                return found && (!found->property("status").isValid() ||
                                 found->property("status").toInt() == 1); // images: Ready
            },
            5000);
        return there ? found : nullptr;
    }

private slots:
    void initTestCase()
    {
        // The thumbnail view reads the shared cache: keep it to ours.
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("cache"))));
    }

    void replacesWhatItShowsWhileOpen()
    {
        PreviewWindow window(m_thumbnails);
        const QString text = QStringLiteral("first line\nsecond, ü\n");
        window.show(writeFile(QStringLiteral("overtaken.txt"), "a"), {}); // its loading is dropped
        QVERIFY(showAndWait(window, writeFile(QStringLiteral("notes.txt"), text.toUtf8())));
        QTest::qWait(50);
        QVERIFY(window.isVisible());
        QCOMPARE(window.content().text(), text);
        QVERIFY(item(window, "previewText"));

        QQuickView *view = window.view();
        QImage picture(1500, 900, QImage::Format_RGB32);
        picture.fill(Qt::darkGreen);
        QVERIFY(picture.save(m_dir.filePath(QStringLiteral("picture.png"))));
        QVERIFY(showAndWait(window,
                            QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("picture.png")))));
        QCOMPARE(window.view(), view); // the same window, still open
        QCOMPARE(window.view()->title(), QStringLiteral("picture.png"));
        QVERIFY(!view->rootObject()->findChild<QQuickItem *>("previewText")->isVisible());
        QQuickItem *image = item(window, "previewImage");
        QVERIFY(image);
        // Fitted to the window, proportions kept; zoomed, one image pixel per device pixel.
        QCOMPARE(view->devicePixelRatio(), 1.0);
        QCOMPARE(image->size(), QSizeF(720, 432));
        window.content().setZoomed(true);
        QCOMPARE(image->size(), QSizeF(1500, 900));

        // Space and Escape close it; closed, it opens again for the next file.
        for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Escape}) {
            QVERIFY(showAndWait(window, writeFile(QStringLiteral("close.txt"), "x")));
            QTest::keyClick(window.view(), Qt::Key_A);
            QVERIFY(window.isVisible());
            QTest::keyClick(window.view(), key);
            QVERIFY(!window.isVisible());
        }
        QVERIFY(!window.content().zoomed()); // the next file starts fitted again
    }

    // A closed previewer holds nothing of the picture it showed, which may be hundreds of
    // megabytes once decoded.
    void closingLetsGoOfThePicture()
    {
        QImage picture(4000, 4000, QImage::Format_RGB32); // 61 MiB decoded
        picture.fill(Qt::darkCyan);
        const QString path = m_dir.filePath(QStringLiteral("large.png"));
        QVERIFY(picture.save(path));
        picture = QImage();
        PreviewWindow window(m_thumbnails);
        QVERIFY(showAndWait(window, QUrl::fromLocalFile(path)));
        QVERIFY(item(window, "previewImage"));
        QVERIFY(QTest::qWaitForWindowExposed(window.view()));
        const qint64 shownKiB = testing::procStatusKiB("VmRSS:");
        window.close();
        QTRY_VERIFY(testing::procStatusKiB("VmRSS:") < shownKiB - (48 << 10));
        QVERIFY(!window.isVisible());
    }

    // Files it cannot render are described; files it cannot read are explained.
    void showsWhatItCannotRender_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes"); // empty: no file at all
        QTest::addColumn<QString>("message");
        QTest::newRow("other") << "data.bin" << QByteArray(3000, '\0') << "data.bin";
        QTest::newRow("missing") << "gone.txt" << QByteArray() << "no longer exists";
        QTest::newRow("broken image")
            << "broken.png" << QByteArray("\x89PNG\r\n\x1a\nnope") << "not a readable image";
    }

    void showsWhatItCannotRender()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        PreviewWindow window(m_thumbnails);
        QVERIFY(showAndWait(window, bytes.isEmpty() ? QUrl::fromLocalFile(m_dir.filePath(name))
                                                    : writeFile(name, bytes)));
        const bool other = window.content().kind() == PreviewContent::Kind::Other;
        QQuickItem *shown = item(window, other ? "previewFileName" : "previewError");
        QVERIFY(shown);
        const QString text = shown->property("text").toString();
        QVERIFY2(text.contains(message) && text.contains(name), qPrintable(text));
        if (other)
            QVERIFY(!window.content().typeName().isEmpty() &&
                    window.content().sizeText().contains(QStringLiteral("2.9")));
    }

    // As the app makes it: staged in the runtime directory, shown in the window, which is
    // titled by what was copied, never by the staged file's name.
    void controllerPreviewsStagedEntries()
    {
        const QString runtime = m_dir.filePath(QStringLiteral("runtime"));
        QVERIFY(QDir().mkpath(runtime));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        HistoryModel history;
        history.prepend(Entry::create(Payload::files(
            {writeFile(QStringLiteral("notes 2024.txt"), "files"), QUrl::fromLocalFile("/etc")})));
        history.prepend(Entry::create(Payload::image(testing::encodedImage({4, 4}, "PNG"))));
        history.prepend(Entry::create(Payload::text(QStringLiteral("from the clipboard"))));
        testing::CountingSound sound;
        PreviewStager stager;
        PreviewWindow window(m_thumbnails);
        PreviewController controller(history, sound, stager, window);
        controller.previewRow(0);
        QTRY_VERIFY(window.isVisible());
        QTRY_COMPARE(window.content().text(), QStringLiteral("from the clipboard"));
        QCOMPARE(QFileInfo(window.content().url().toLocalFile()).absolutePath(),
                 runtime + QStringLiteral("/tessary"));
        QCOMPARE(window.view()->title(), QStringLiteral("Text"));
        controller.previewRow(1); // staged off the GUI thread, then shown
        QTRY_COMPARE(window.view()->title(), QStringLiteral("Image"));
        controller.previewRow(2);
        QTRY_COMPARE(window.view()->title(), QStringLiteral("notes 2024.txt"));
    }
};

QTEST_MAIN(TestPreviewWindow)
#include "tst_previewwindow.moc"
