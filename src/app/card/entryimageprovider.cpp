#include "entryimageprovider.h"

#include "core/historymodel.h"
#include "preview/filethumbnailsource.h"
#include "preview/imagereading.h"

#include <QQuickTextureFactory>
#include <QRunnable>
#include <QThreadPool>
#include <atomic>

namespace tessary {

namespace {

// Runs on the pool. Its result reaches the response through a queued connection, so the
// response reports `finished` on its own thread, after whoever asked for it has connected.
class DecodeJob : public QObject, public QRunnable {
    Q_OBJECT
public:
    DecodeJob(QByteArray bytes, QSize requestedSize, qreal radius,
              std::shared_ptr<std::atomic_bool> cancelled)
        : m_bytes(std::move(bytes)), m_requestedSize(requestedSize), m_radius(radius),
          m_cancelled(std::move(cancelled))
    {}

    void run() override
    {
        QImage image;
        QString error;
        if (m_cancelled->load())
            error = QStringLiteral("cancelled");
        else if (m_bytes.isEmpty())
            error = QStringLiteral("no image entry with this id");
        else
            image = roundedCorners(images::readUpright(m_bytes, m_requestedSize, &error), m_radius);
        emit decoded(image, error);
    }

signals:
    void decoded(const QImage &image, const QString &error);

private:
    QByteArray m_bytes;
    QSize m_requestedSize;
    qreal m_radius;
    std::shared_ptr<std::atomic_bool> m_cancelled;
};

class EntryImageResponse : public QQuickImageResponse {
    Q_OBJECT
public:
    EntryImageResponse(QThreadPool &pool, QByteArray bytes, QSize requestedSize, qreal radius)
    {
        auto *job = new DecodeJob(std::move(bytes), requestedSize, radius, m_cancelled);
        connect(job, &DecodeJob::decoded, this, &EntryImageResponse::finish, Qt::QueuedConnection);
        pool.start(job);
    }

    void cancel() override { m_cancelled->store(true); }

    QQuickTextureFactory *textureFactory() const override
    {
        return QQuickTextureFactory::textureFactoryForImage(m_image);
    }

    QString errorString() const override { return m_image.isNull() ? m_error : QString(); }

private:
    void finish(const QImage &image, const QString &error)
    {
        m_image = image;
        m_error = error.isEmpty() && image.isNull() ? QStringLiteral("not an image") : error;
        emit finished();
    }

    std::shared_ptr<std::atomic_bool> m_cancelled = std::make_shared<std::atomic_bool>(false);
    QImage m_image;
    QString m_error;
};

} // namespace

EntryImageProvider::EntryImageProvider(HistoryModel &history, QThreadPool &pool)
    : m_history(history), m_pool(pool)
{
    // At most fifty entries: rebuilding the whole index on each change costs nothing.
    connect(&history, &QAbstractItemModel::rowsInserted, this, &EntryImageProvider::reindex);
    connect(&history, &QAbstractItemModel::rowsRemoved, this, &EntryImageProvider::reindex);
    connect(&history, &QAbstractItemModel::modelReset, this, &EntryImageProvider::reindex);
    connect(&history, &QAbstractItemModel::dataChanged, this, &EntryImageProvider::reindex);
    reindex();
}

void EntryImageProvider::reindex()
{
    QHash<QUuid, QByteArray> bytes;
    for (const Entry &entry : m_history.entries()) {
        if (entry.payload.kind() == Payload::Kind::Image)
            bytes.insert(entry.id, entry.payload.imageBytes());
    }
    QMutexLocker lock(&m_mutex);
    m_bytes.swap(bytes);
}

QByteArray EntryImageProvider::bytes(const QUuid &id) const
{
    QMutexLocker lock(&m_mutex);
    return m_bytes.value(id);
}

QQuickImageResponse *EntryImageProvider::requestImageResponse(const QString &id,
                                                              const QSize &requestedSize)
{
    const QStringList parts = id.split(u'/');
    const qreal radius = parts.size() > 1 ? parts.at(1).toDouble() : 0;
    return new EntryImageResponse(m_pool, bytes(QUuid(parts.first())), requestedSize, radius);
}

} // namespace tessary

#include "entryimageprovider.moc"
