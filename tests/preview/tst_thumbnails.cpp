// File thumbnails: the shared cache, the D-Bus thumbnailer on a private bus, the in-process
// decode, and the view-facing source that shows the icon first and drops stale results.

#include "preview/filethumbnailsource.h"
#include "preview/thumbnailcache.h"
#include "preview/thumbnailer.h"
#include "preview/thumbnailimageprovider.h"

#include <QBuffer>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QPromise>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace tessary;
using namespace std::chrono_literals;

namespace {

const QString kService = QStringLiteral("org.freedesktop.thumbnails.Thumbnailer1");
const QString kPath = QStringLiteral("/org/freedesktop/thumbnails/Thumbnailer1");

QImage filled(QSize size, Qt::GlobalColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

// A file with a fixed modification time.
QUrl writeFile(const QString &path, const QByteArray &bytes, const QDateTime &mtime)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(bytes);
    file.flush(); // a later flush would move the time again
    file.setFileTime(mtime, QFileDevice::FileModificationTime);
    return QUrl::fromLocalFile(path);
}

QByteArray pngBytes(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "png");
    return bytes;
}

// Files a thumbnail the way thumbnailers do: named by the URI's MD5, stamped with the file's
// URI and modification time.
void fileThumbnail(const QUrl &url, const QString &flavor, const QImage &picture, qint64 mtime)
{
    QImage image = picture;
    image.setText(QStringLiteral("Thumb::URI"),
                  QString::fromLatin1(thumbnailcache::canonicalUri(url)));
    image.setText(QStringLiteral("Thumb::MTime"), QString::number(mtime));
    const QString path = thumbnailcache::thumbnailPath(url, flavor);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QVERIFY(image.save(path, "png"));
}

// Stands in for tumbler: each Queue is answered by filing a thumbnail and emitting Ready, or
// by emitting Error; optionally before the reply that names the handle.
class FakeThumbnailer1 : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.thumbnails.Thumbnailer1")
public:
    explicit FakeThumbnailer1(QDBusConnection bus) : m_bus(std::move(bus)) {}

    bool succeed = true;
    bool answerBeforeReply = false;
    QImage picture = filled({64, 32}, Qt::blue);
    struct Call {
        QStringList uris, mimeTypes;
        QString flavor;
    };
    QList<Call> calls;

public slots:
    uint Queue(const QStringList &uris, const QStringList &mimeTypes, const QString &flavor,
               const QString &scheduler, uint unqueue, const QDBusMessage &message)
    {
        Q_UNUSED(scheduler);
        Q_UNUSED(unqueue);
        calls.append({uris, mimeTypes, flavor});
        const uint handle = ++m_handle;
        QDBusMessage answer;
        if (succeed) {
            const QUrl url(uris.first());
            fileThumbnail(url, flavor, picture,
                          QFileInfo(url.toLocalFile()).lastModified().toSecsSinceEpoch());
            answer = QDBusMessage::createSignal(kPath, kService, QStringLiteral("Ready"));
            answer << handle << uris;
        } else {
            answer = QDBusMessage::createSignal(kPath, kService, QStringLiteral("Error"));
            answer << handle << uris << 1 << QStringLiteral("unsupported");
        }
        message.setDelayedReply(true);
        if (answerBeforeReply)
            m_bus.send(answer);
        m_bus.send(message.createReply(handle));
        if (!answerBeforeReply)
            m_bus.send(answer);
        return handle;
    }

private:
    QDBusConnection m_bus;
    uint m_handle = 100;
};

// A thumbnailer the test answers by hand.
class ManualThumbnailer : public Thumbnailer {
public:
    struct Pending {
        QUrl url;
        QSize pixels;
        std::shared_ptr<QPromise<QImage>> promise;
    };
    QList<Pending> pending;

    QFuture<QImage> thumbnail(const QUrl &url, QSize pixels) override
    {
        auto promise = std::make_shared<QPromise<QImage>>();
        promise->start();
        pending.append({url, pixels, promise});
        return promise->future();
    }
    void answer(int index, const QImage &image)
    {
        pending[index].promise->addResult(image);
        pending[index].promise->finish();
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
    QProcess m_daemon;
    QString m_address;
    int m_connections = 0;
    const QDateTime m_mtime = QDateTime::fromSecsSinceEpoch(1700000000);

    QDBusConnection connectToPrivateBus(const QString &role)
    {
        return QDBusConnection::connectToBus(m_address, role + QString::number(++m_connections));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_dir.path() + QStringLiteral("/cache")));
        // A bus of our own, with no service activation: tumbler, if installed, stays out.
        const QString config = m_dir.path() + QStringLiteral("/bus.conf");
        QFile conf(config);
        QVERIFY(conf.open(QIODevice::WriteOnly));
        conf.write("<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
                   "<auth>EXTERNAL</auth><policy context=\"default\">"
                   "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
                   "<allow own=\"*\"/></policy></busconfig>");
        conf.close();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                        QStringLiteral("--print-address")});
        QVERIFY(m_daemon.waitForStarted());
        QTRY_VERIFY(m_daemon.canReadLine());
        m_address = QString::fromLatin1(m_daemon.readLine().trimmed());
        QVERIFY(!m_address.isEmpty());
    }

    void cleanupTestCase()
    {
        m_daemon.terminate();
        m_daemon.waitForFinished();
    }

    void cacheNamesFollowTheStandard()
    {
        // The example of the freedesktop.org thumbnail managing standard.
        const QUrl url = QUrl::fromLocalFile(QStringLiteral("/home/jens/photos/me.png"));
        QCOMPARE(QFileInfo(thumbnailcache::thumbnailPath(url, QStringLiteral("large"))).fileName(),
                 QStringLiteral("c6ee772d9e49320e97ec29a7eb5b1697.png"));
        QCOMPARE(thumbnailcache::canonicalUri(QUrl::fromLocalFile(QStringLiteral("/a b/ü.txt"))),
                 QByteArray("file:///a%20b/%C3%BC.txt"));
        QCOMPARE(thumbnailcache::flavorFor({592, 280}), QStringLiteral("x-large"));
        QCOMPARE(thumbnailcache::flavorFor({256, 128}), QStringLiteral("large"));
    }

    void cachedThumbnailIsValidOnlyForTheSameMtime_data()
    {
        QTest::addColumn<QString>("flavor");
        QTest::addColumn<qint64>("stampOffset");
        QTest::addColumn<bool>("hit");
        QTest::newRow("x-large, same mtime") << "x-large" << qint64(0) << true;
        QTest::newRow("only large, same mtime") << "large" << qint64(0) << true;
        QTest::newRow("file changed since") << "x-large" << qint64(-60) << false;
        QTest::newRow("stamp from the future") << "large" << qint64(1) << false;
        QTest::newRow("other flavor") << "normal" << qint64(0) << false;
    }

    void cachedThumbnailIsValidOnlyForTheSameMtime()
    {
        QFETCH(QString, flavor);
        QFETCH(qint64, stampOffset);
        QFETCH(bool, hit);
        const QUrl url =
            writeFile(m_dir.filePath(QStringLiteral("cached %1.txt").arg(QTest::currentDataTag())),
                      "words", m_mtime);
        const QImage picture = filled({40, 20}, Qt::red);
        fileThumbnail(url, flavor, picture, m_mtime.toSecsSinceEpoch() + stampOffset);
        const QImage found = thumbnailcache::read(url, {592, 280});
        QCOMPARE(!found.isNull(), hit);
        if (hit)
            QCOMPARE(found.pixelColor(0, 0), QColor(Qt::red));
    }

    void cacheIgnoresThumbnailsWithoutStamp()
    {
        const QUrl url = writeFile(m_dir.filePath(QStringLiteral("unstamped.txt")), "x", m_mtime);
        const QString path = thumbnailcache::thumbnailPath(url, QStringLiteral("x-large"));
        QDir().mkpath(QFileInfo(path).absolutePath());
        QVERIFY(filled({8, 8}, Qt::red).save(path, "png"));
        QVERIFY(thumbnailcache::read(url, {592, 280}).isNull());
    }

    void serviceMakesWhatTheCacheLacks()
    {
        // Made before the service starts, as when the bus starts the thumbnailer on demand.
        SystemThumbnailer thumbnailer(connectToPrivateBus(QStringLiteral("client")));
        QDBusConnection serviceBus = connectToPrivateBus(QStringLiteral("service"));
        FakeThumbnailer1 fake(serviceBus);
        QVERIFY(serviceBus.registerObject(kPath, &fake, QDBusConnection::ExportAllSlots));
        QVERIFY(serviceBus.registerService(kService));
        auto unregister = qScopeGuard([&] { serviceBus.unregisterService(kService); });

        const QUrl text =
            writeFile(m_dir.filePath(QStringLiteral("service.txt")), "plain", m_mtime);
        QImage result = await(thumbnailer.thumbnail(text, {592, 280}));
        QCOMPARE(result.size(), fake.picture.size());
        QCOMPARE(result.pixelColor(0, 0), QColor(Qt::blue));
        QCOMPARE(fake.calls.size(), 1);
        QCOMPARE(fake.calls.first().uris,
                 QStringList{QString::fromLatin1(thumbnailcache::canonicalUri(text))});
        QCOMPARE(fake.calls.first().mimeTypes, QStringList{QStringLiteral("text/plain")});
        QCOMPARE(fake.calls.first().flavor, QStringLiteral("x-large"));

        // Now cached: the service is not asked again.
        result = await(thumbnailer.thumbnail(text, {592, 280}));
        QCOMPARE(result.pixelColor(0, 0), QColor(Qt::blue));
        QCOMPARE(fake.calls.size(), 1);

        // An answer that overtakes the reply naming its handle still counts.
        fake.answerBeforeReply = true;
        const QUrl early = writeFile(m_dir.filePath(QStringLiteral("early.txt")), "plain", m_mtime);
        result = await(thumbnailer.thumbnail(early, {200, 100}));
        QCOMPARE(result.pixelColor(0, 0), QColor(Qt::blue));
        QCOMPARE(fake.calls.last().flavor, QStringLiteral("large"));

        // A refusal falls back to decoding images here, and to nothing for other files.
        fake.succeed = false;
        fake.answerBeforeReply = false;
        const QUrl image = writeFile(m_dir.filePath(QStringLiteral("refused.png")),
                                     pngBytes(filled({1000, 500}, Qt::green)), m_mtime);
        result = await(thumbnailer.thumbnail(image, {592, 280}));
        QCOMPARE(result.size(), QSize(560, 280));
        QCOMPARE(result.pixelColor(0, 0), QColor(Qt::green));
        const QUrl other = writeFile(m_dir.filePath(QStringLiteral("refused.txt")), "x", m_mtime);
        QVERIFY(await(thumbnailer.thumbnail(other, {592, 280})).isNull());
        QCOMPARE(fake.calls.size(), 4);
    }

    void withoutAServiceImagesAreDecodedHere()
    {
        SystemThumbnailer thumbnailer(connectToPrivateBus(QStringLiteral("client")));
        const QUrl small = writeFile(m_dir.filePath(QStringLiteral("small.png")),
                                     pngBytes(filled({30, 300}, Qt::yellow)), m_mtime);
        // Scaled down to fit, never up.
        QCOMPARE(await(thumbnailer.thumbnail(small, {592, 280})).size(), QSize(28, 280));
        const QUrl tiny = writeFile(m_dir.filePath(QStringLiteral("tiny.png")),
                                    pngBytes(filled({10, 5}, Qt::yellow)), m_mtime);
        QCOMPARE(await(thumbnailer.thumbnail(tiny, {592, 280})).size(), QSize(10, 5));

        QVERIFY(await(thumbnailer.thumbnail(
                          QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("missing.png"))),
                          {592, 280}))
                    .isNull());
        const QUrl broken =
            writeFile(m_dir.filePath(QStringLiteral("broken.png")), "\x89PNG no", m_mtime);
        QVERIFY(await(thumbnailer.thumbnail(broken, {592, 280})).isNull());
        QVERIFY(await(thumbnailer.thumbnail(QUrl(QStringLiteral("https://example.org/a.png")),
                                            {592, 280}))
                    .isNull());
    }

    void sourceShowsTheIconFirstThenTheThumbnail()
    {
        ManualThumbnailer thumbnailer;
        FileThumbnailSource source(thumbnailer);
        source.setDevicePixelRatio(2.0);
        source.setUrl(QUrl::fromLocalFile(QStringLiteral("/nowhere/report.pdf")));
        source.setTargetSize({296, 140});
        QVERIFY(thumbnailer.pending.isEmpty()); // nothing before the view is complete
        source.componentComplete();
        QVERIFY(source.iconSource().toString().startsWith(
            QStringLiteral("image://fileicon/application-pdf")));
        QVERIFY(!source.hasThumbnail());
        QCOMPARE(thumbnailer.pending.size(), 1);
        QCOMPARE(thumbnailer.pending.first().pixels, QSize(592, 280));

        QSignalSpy changed(&source, &FileThumbnailSource::thumbnailChanged);
        thumbnailer.answer(0, filled({50, 50}, Qt::cyan));
        QTRY_VERIFY(source.hasThumbnail());
        QCOMPARE(changed.size(), 1);
        const QString key = source.thumbnailSource().path().mid(1);
        QCOMPARE(ThumbnailStore::instance().value(key).pixelColor(25, 25), QColor(Qt::cyan));
        QCOMPARE(source.thumbnailSource().host(), QStringLiteral("thumbnail"));
    }

    void sourceDropsResultsItNoLongerWants()
    {
        ManualThumbnailer thumbnailer;
        const qsizetype stored = ThumbnailStore::instance().size();
        {
            FileThumbnailSource source(thumbnailer);
            source.setUrl(QUrl::fromLocalFile(QStringLiteral("/a.png")));
            source.componentComplete();
            source.setUrl(QUrl::fromLocalFile(QStringLiteral("/b.png")));
            QCOMPARE(thumbnailer.pending.size(), 2);
            thumbnailer.answer(0, filled({5, 5}, Qt::red)); // for a URL no longer shown
            QTest::qWait(20);
            QVERIFY(!source.hasThumbnail());

            // Hidden: the request in flight is dropped; shown again: one new request.
            source.setActive(false);
            thumbnailer.answer(1, filled({5, 5}, Qt::red));
            QTest::qWait(20);
            QVERIFY(!source.hasThumbnail());
            source.setActive(true);
            QCOMPARE(thumbnailer.pending.size(), 3);
            thumbnailer.answer(2, QImage()); // failure: the icon stays
            QTest::qWait(20);
            QVERIFY(!source.hasThumbnail());
            thumbnailer.pending[2].promise.reset();

            source.setTargetSize({100, 100});
            QCOMPARE(thumbnailer.pending.size(), 4);
            thumbnailer.answer(3, filled({5, 5}, Qt::green));
            QTRY_VERIFY(source.hasThumbnail());

            // Another file's picture goes at once, before the new one arrives.
            source.setUrl(QUrl::fromLocalFile(QStringLiteral("/c.txt")));
            QVERIFY(!source.hasThumbnail());
            thumbnailer.pending[4].promise.reset(); // abandoned: cancelled, silently
            QTest::qWait(20);
            QVERIFY(!source.hasThumbnail());
        }
        QCOMPARE(ThumbnailStore::instance().size(), stored);
    }

    void thumbnailCornersAreRoundedAsShown()
    {
        // Shown at half size, so 4 points of radius are 8 pixels of the picture.
        const QImage rounded = withRoundedCorners(filled({592, 280}, Qt::red), {296, 140}, 4);
        QCOMPARE(rounded.size(), QSize(592, 280));
        for (const QPoint corner : {QPoint(1, 1), QPoint(590, 1), QPoint(1, 278), QPoint(590, 278)})
            QCOMPARE(rounded.pixelColor(corner).alpha(), 0);
        for (const QPoint inside : {QPoint(8, 8), QPoint(0, 140), QPoint(296, 0), QPoint(583, 271)})
            QCOMPARE(rounded.pixelColor(inside), QColor(Qt::red));
    }

    void iconFallsBackToTheBundledOne()
    {
        FileIconImageProvider provider;
        QSize size;
        const QPixmap pixmap =
            provider.requestPixmap(QStringLiteral("no-such-icon/nor-this"), &size, {64, 64});
        QVERIFY(!pixmap.isNull());
        QCOMPARE(size, QSize(64, 64));
    }
};

QTEST_MAIN(TestThumbnails)
#include "tst_thumbnails.moc"
