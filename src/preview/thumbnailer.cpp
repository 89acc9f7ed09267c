#include "thumbnailer.h"

#include "futurewatch.h"
#include "imagereading.h"
#include "thumbnailcache.h"

#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QImageReader>
#include <QLoggingCategory>
#include <QMimeDatabase>
#include <QPromise>
#include <QThreadPool>
#include <QTimer>
#include <QtConcurrent>

Q_LOGGING_CATEGORY(lcThumbnails, "tessary.preview.thumbnails", QtInfoMsg)

namespace tessary {

namespace {
const QString kService = QStringLiteral("org.freedesktop.thumbnails.Thumbnailer1");
const QString kPath = QStringLiteral("/org/freedesktop/thumbnails/Thumbnailer1");
const QString kInterface = QStringLiteral("org.freedesktop.thumbnails.Thumbnailer1");

struct CacheLookup {
    QImage image;
    QString mimeType;
};
} // namespace

struct SystemThumbnailer::Request {
    QUrl url;
    QSize pixels;
    QString mimeType;
    QPromise<QImage> promise;

    void finish(const QImage &image)
    {
        promise.addResult(image);
        promise.finish();
    }
};

SystemThumbnailer::SystemThumbnailer(QDBusConnection bus, QThreadPool &pool, QObject *parent)
    : QObject(parent), m_bus(std::move(bus)), m_pool(pool)
{
    if (m_bus.isConnected()) {
        m_bus.connect(kService, kPath, kInterface, QStringLiteral("Ready"), this,
                      SLOT(onReady(uint, QStringList)));
        m_bus.connect(kService, kPath, kInterface, QStringLiteral("Error"), this,
                      SLOT(onError(uint, QStringList, int, QString)));
    }
}

SystemThumbnailer::~SystemThumbnailer()
{
    m_pool.waitForDone();
}

QFuture<QImage> SystemThumbnailer::thumbnail(const QUrl &fileUrl, QSize pixels)
{
    auto request = std::make_shared<Request>();
    request->url = fileUrl;
    request->pixels = pixels;
    request->promise.start();
    QFuture<QImage> future = request->promise.future();
    if (!fileUrl.isLocalFile() || pixels.isEmpty()) {
        request->finish({});
        return future;
    }
    QFuture<CacheLookup> lookup = QtConcurrent::run(&m_pool, [url = fileUrl, pixels] {
        CacheLookup lookup;
        lookup.image = thumbnailcache::read(url, pixels);
        if (lookup.image.isNull())
            lookup.mimeType = QMimeDatabase().mimeTypeForFile(url.toLocalFile()).name();
        return lookup;
    });
    whenFinished(this, lookup, [this, request](const QFuture<CacheLookup> &done) {
        const CacheLookup lookup = done.result();
        if (!lookup.image.isNull()) {
            request->finish(lookup.image);
            return;
        }
        request->mimeType = lookup.mimeType;
        askService(request);
    });
    return future;
}

void SystemThumbnailer::askService(std::shared_ptr<Request> request)
{
    if (!m_bus.isConnected() || request->mimeType == QLatin1String("inode/directory")) {
        m_pool.start([request] { decodeInProcess(request); });
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Queue"));
    call << QStringList{QString::fromLatin1(thumbnailcache::canonicalUri(request->url))}
         << QStringList{request->mimeType} << thumbnailcache::flavorFor(request->pixels)
         << QStringLiteral("default") << 0u;
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, request] {
        watcher->deleteLater();
        QDBusPendingReply<uint> reply = *watcher;
        if (reply.isError()) {
            // No thumbnailer on this desktop, or it refused the type.
            qCDebug(lcThumbnails) << "thumbnailer unavailable:" << reply.error().message();
            m_pool.start([request] { decodeInProcess(request); });
            return;
        }
        const uint handle = reply.value();
        if (const auto early = m_earlyAnswers.find(handle); early != m_earlyAnswers.end()) {
            const bool ready = early.value();
            m_earlyAnswers.erase(early);
            m_queued.insert(handle, request);
            serviceAnswered(handle, ready);
            return;
        }
        m_queued.insert(handle, request);
        // The standard promises an answer, but a hung service must not hold requests forever.
        QTimer::singleShot(kServiceTimeoutMs, this, [this, handle, request] {
            if (m_queued.value(handle) == request)
                serviceAnswered(handle, false);
        });
    });
}

void SystemThumbnailer::onReady(uint handle, const QStringList &uris)
{
    Q_UNUSED(uris);
    if (!m_queued.contains(handle)) {
        if (m_earlyAnswers.size() > 64)
            m_earlyAnswers.clear();
        m_earlyAnswers.insert(handle, true);
        return;
    }
    serviceAnswered(handle, true);
}

void SystemThumbnailer::onError(uint handle, const QStringList &failedUris, int code,
                                const QString &message)
{
    Q_UNUSED(failedUris);
    qCDebug(lcThumbnails) << "thumbnailer error" << code << message;
    if (!m_queued.contains(handle)) {
        if (m_earlyAnswers.size() > 64)
            m_earlyAnswers.clear();
        m_earlyAnswers.insert(handle, false);
        return;
    }
    serviceAnswered(handle, false);
}

void SystemThumbnailer::serviceAnswered(uint handle, bool ready)
{
    std::shared_ptr<Request> request = m_queued.take(handle);
    if (!request)
        return;
    m_pool.start([request, ready] {
        // The service files what it made in the cache; read it from there.
        if (ready) {
            const QImage image = thumbnailcache::read(request->url, request->pixels);
            if (!image.isNull()) {
                request->finish(image);
                return;
            }
        }
        decodeInProcess(request);
    });
}

void SystemThumbnailer::decodeInProcess(std::shared_ptr<Request> request)
{
    const QByteArray mime = request->mimeType.toLatin1();
    if (!QImageReader::supportedMimeTypes().contains(mime)) {
        request->finish({});
        return;
    }
    request->finish(images::readUprightFile(request->url.toLocalFile(), request->pixels));
}

} // namespace tessary
