// File thumbnails: the shared cache, the D-Bus thumbnailer on a private bus, the in-process
// decode, and the view-facing source that shows the icon first and drops stale results.

#include "preview/filethumbnails.h"
#include "preview/filethumbnailsource.h"
#include "preview/thumbnailcache.h"
#include "preview/thumbnailer.h"
#include "support/images.h"
#include "support/privatebus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QPromise>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <memory>

using namespace tessary;

namespace {

const QString kService = QStringLiteral("org.freedesktop.thumbnails.Thumbnailer1");
const QString kPath = QStringLiteral("/org/freedesktop/thumbnails/Thumbnailer1");
const qint64 kMtime = 1700000000;
const QSize kBox(592, 280);

QImage filled(QSize size, Qt::GlobalColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// Files a thumbnail the way thumbnailers do; a negative mtime leaves the stamp out.
void fileThumbnail(const QUrl &url, const QString &flavor, QImage image, qint64 mtime)
{
    image.setText(QStringLiteral("Thumb::URI"),
                  QString::fromLatin1(thumbnailcache::canonicalUri(url)));
    if (mtime >= 0)
        image.setText(QStringLiteral("Thumb::MTime"), QString::number(mtime));
    const QString path = thumbnailcache::thumbnailPath(url, flavor);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QVERIFY(image.save(path, "png"));
}

// Stands in for tumbler: each Queue is answered by filing a thumbnail and emitting Ready, or
// by emitting Error.
class FakeThumbnailer1 : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.thumbnails.Thumbnailer1")
public:
    explicit FakeThumbnailer1(QDBusConnection bus) : m_bus(std::move(bus)) {}
    bool succeed = true;
    QList<QStringList> calls; // uri, mime type, flavor

public slots:
    uint Queue(const QStringList &uris, const QStringList &mimeTypes, const QString &flavor,
               const QString &, uint, const QDBusMessage &message)
    {
        calls.append({uris.first(), mimeTypes.first(), flavor});
        if (succeed)
            fileThumbnail(QUrl(uris.first()), flavor, filled({64, 32}, Qt::blue), kMtime);
        QDBusMessage answer = QDBusMessage::createSignal(
            kPath, kService, QString::fromLatin1(succeed ? "Ready" : "Error"));
        answer << ++m_handle << uris;
        if (!succeed)
            answer << 1 << QStringLiteral("unsupported");
        message.setDelayedReply(true);
        m_bus.send(message.createReply(m_handle));
        m_bus.send(answer);
        return m_handle;
    }

private:
    QDBusConnection m_bus;
    uint m_handle = 100;
};

// A thumbnailer the test answers by hand.
class ManualThumbnailer : public Thumbnailer {
public:
    QList<QSize> sizes;
    QList<std::shared_ptr<QPromise<QImage>>> pending;

    QFuture<QImage> thumbnail(const QUrl &, QSize pixels) override
    {
        sizes.append(pixels);
        pending.append(std::make_shared<QPromise<QImage>>());
        pending.last()->start();
        return pending.last()->future();
    }
    void answer(int index, const QImage &image)
    {
        pending[index]->addResult(image);
        pending[index]->finish();
        QTest::qWait(20);
    }
};

QImage await(QFuture<QImage> future)
{
    if (!QTest::qWaitFor([&] { return future.isFinished(); }, 10000))
        return filled({1, 1}, Qt::magenta); // never matches an expectation
    return future.resultCount() > 0 ? future.result() : QImage();
}

} // namespace

class TestThumbnails : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    // A file with these contents and a known modification time.
    QUrl file(const QString &name, const QByteArray &contents = "words")
    {
        QFile file(m_dir.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size())
            return {};
        file.flush(); // a later flush would move the time again
        file.setFileTime(QDateTime::fromSecsSinceEpoch(kMtime), QFileDevice::FileModificationTime);
        return QUrl::fromLocalFile(file.fileName());
    }

private slots:
    void initTestCase()
    {
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_dir.filePath(QStringLiteral("cache"))));
    }

    void cachedThumbnailIsValidOnlyForTheSameMtime_data()
    {
        QTest::addColumn<QString>("flavor");
        QTest::addColumn<qint64>("stamp");
        QTest::addColumn<bool>("hit");
        QTest::newRow("x-large") << "x-large" << kMtime << true;
        QTest::newRow("only large") << "large" << kMtime << true;
        QTest::newRow("file changed since") << "x-large" << kMtime - 60 << false;
        QTest::newRow("no stamp") << "x-large" << qint64(-1) << false;
    }

    void cachedThumbnailIsValidOnlyForTheSameMtime()
    {
        QFETCH(QString, flavor);
        QFETCH(qint64, stamp);
        QFETCH(bool, hit);
        // The example of the freedesktop.org thumbnail managing standard.
        const QUrl example = QUrl::fromLocalFile(QStringLiteral("/home/jens/photos/me.png"));
        QCOMPARE(QFileInfo(thumbnailcache::thumbnailPath(example, flavor)).fileName(),
                 QStringLiteral("c6ee772d9e49320e97ec29a7eb5b1697.png"));
        const QUrl url = file(QStringLiteral("cached %1.txt").arg(QTest::currentDataTag()));
        fileThumbnail(url, flavor, filled({40, 20}, Qt::red), stamp);
        const QImage found = thumbnailcache::read(url, kBox);
        QCOMPARE(!found.isNull(), hit);
        QVERIFY(!hit || found.pixelColor(0, 0) == QColor(Qt::red));
    }

    void serviceMakesWhatTheCacheLacks()
    {
        // A bus of our own, with no service activation: tumbler, if installed, stays out.
        const testing::PrivateBus bus;
        QVERIFY(bus.isRunning());
        const QString address = bus.address();

        // Made before the service starts, as when the bus starts the thumbnailer on demand.
        QThreadPool pool;
        SystemThumbnailer thumbnailer(QDBusConnection::connectToBus(address, "client"), pool);
        // No service yet: images are decoded here, upright, scaled down to fit but never up.
        const QUrl tiny = file(QStringLiteral("tiny.png"), testing::encodedImage({10, 5}, "PNG"));
        QCOMPARE(await(thumbnailer.thumbnail(tiny, kBox)).size(), QSize(10, 5));
        const QUrl sideways = file(QStringLiteral("sideways.tiff"),
                                   testing::encodedImage({1000, 500}, "TIFF", Qt::yellow,
                                                         QImageIOHandler::TransformationRotate90));
        QCOMPARE(await(thumbnailer.thumbnail(sideways, kBox)).size(), QSize(140, 280));
        QDBusConnection serviceBus = QDBusConnection::connectToBus(address, "service");
        FakeThumbnailer1 fake(serviceBus);
        QVERIFY(serviceBus.registerObject(kPath, &fake, QDBusConnection::ExportAllSlots));
        QVERIFY(serviceBus.registerService(kService));

        const QUrl text = file(QStringLiteral("service.txt"));
        QCOMPARE(await(thumbnailer.thumbnail(text, kBox)).pixelColor(0, 0), QColor(Qt::blue));
        QCOMPARE(fake.calls,
                 QList<QStringList>({{QString::fromLatin1(thumbnailcache::canonicalUri(text)),
                                      QStringLiteral("text/plain"), QStringLiteral("x-large")}}));
        // Now cached: the service is not asked again.
        QCOMPARE(await(thumbnailer.thumbnail(text, kBox)).pixelColor(0, 0), QColor(Qt::blue));
        QCOMPARE(fake.calls.size(), 1);

        // A refusal falls back to decoding images here, and to nothing for other files.
        fake.succeed = false;
        const QUrl image =
            file(QStringLiteral("refused.png"), testing::encodedImage({1000, 500}, "PNG"));
        QCOMPARE(await(thumbnailer.thumbnail(image, kBox)).size(), QSize(560, 280));
        QVERIFY(await(thumbnailer.thumbnail(file(QStringLiteral("refused.txt")), kBox)).isNull());
        QCOMPARE(fake.calls.size(), 3);
    }

    void sourceShowsTheIconFirstAndDropsStaleResults()
    {
        ManualThumbnailer thumbnailer;
        FileThumbnails thumbnails(thumbnailer);
        {
            FileThumbnailSource source;
            source.setThumbnails(&thumbnails);
            source.setDevicePixelRatio(2.0);
            source.setUrl(QUrl::fromLocalFile(QStringLiteral("/nowhere/report.pdf")));
            source.setTargetSize({296, 140});
            QVERIFY(thumbnailer.pending.isEmpty()); // nothing before the view is complete
            source.componentComplete();
            QVERIFY(source.iconSource().toString().startsWith(
                QStringLiteral("image://icon/application-pdf")));
            QCOMPARE(thumbnailer.sizes, QList<QSize>{kBox});
            source.setUrl(QUrl::fromLocalFile(QStringLiteral("/b.png")));
            thumbnailer.answer(0, filled({5, 5}, Qt::red)); // for a URL no longer shown
            // Hidden: the request in flight is dropped; shown again: one new request.
            source.setActive(false);
            thumbnailer.answer(1, filled({5, 5}, Qt::red));
            QVERIFY(!source.hasThumbnail());
            source.setActive(true);
            QCOMPARE(thumbnailer.pending.size(), 3);
            thumbnailer.answer(2, QImage()); // failure: the icon stays
            QVERIFY(!source.hasThumbnail());
            source.setTargetSize({100, 100});
            thumbnailer.answer(3, filled({50, 50}, Qt::cyan));
            QTRY_VERIFY(source.hasThumbnail());
            const QString key = source.thumbnailSource().path().mid(1);
            QCOMPARE(thumbnails.value(key).pixelColor(25, 25), QColor(Qt::cyan));
            // Another file's picture goes at once; an abandoned request is dropped silently.
            source.setUrl(QUrl::fromLocalFile(QStringLiteral("/c.txt")));
            QVERIFY(!source.hasThumbnail());
            thumbnailer.pending[4].reset();
            QTest::qWait(20);
            QVERIFY(!source.hasThumbnail());
        }
        QCOMPARE(thumbnails.size(), 0); // a source that goes lets go of its picture
    }
};

QTEST_MAIN(TestThumbnails)
#include "tst_thumbnails.moc"
