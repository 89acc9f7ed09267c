#include "entryimageprovider.h"

#include "core/historymodel.h"
#include "preview/filethumbnailsource.h"

#include <QBuffer>
#include <QImageReader>
#include <QQuickTextureFactory>
#include <QRunnable>
#include <atomic>

namespace tessary {

QByteArray EntryImageIndex::bytes(const QUuid &id) const
{
    QMutexLocker lock(&m_mutex);
    return m_bytes.value(id);
}

void EntryImageIndex::replace(QHash<QUuid, QByteArray> bytes)
{
    QMutexLocker lock(&m_mutex);
    m_bytes.swap(bytes);
}

EntryImageIndexer::EntryImageIndexer(HistoryModel &history, std::shared_ptr<EntryImageIndex> index)
    : QObject(&history), m_history(history), m_index(std::move(index))
{
    // At most fifty entries: rebuilding the whole index on each change costs nothing.
    connect(&history, &QAbstractItemModel::rowsInserted, this, &EntryImageIndexer::refresh);
    connect(&history, &QAbstractItemModel::rowsRemoved, this, &EntryImageIndexer::refresh);
    connect(&history, &QAbstractItemModel::modelReset, this, &EntryImageIndexer::refresh);
    connect(&history, &QAbstractItemModel::dataChanged, this, &EntryImageIndexer::refresh);
    refresh();
}

void EntryImageIndexer::refresh()
{
    QHash<QUuid, QByteArray> bytes;
    for (const Entry &entry : m_history.entries()) {
        if (entry.payload.kind() == Payload::Kind::Image)
            bytes.insert(entry.id, entry.payload.imageBytes());
    }
    m_index->replace(std::move(bytes));
}

QImage decodeScaledImage(const QByteArray &bytes, const QSize &requestedSize, QString *errorString)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    QSize size = reader.size();
    if (size.isValid() && reader.transformation().testFlag(QImageIOHandler::TransformationRotate90))
        size.transpose();
    if (size.isValid() && (requestedSize.width() > 0 || requestedSize.height() > 0)) {
        const QSize bound(requestedSize.width() > 0 ? requestedSize.width() : INT_MAX,
                          requestedSize.height() > 0 ? requestedSize.height() : INT_MAX);
        if (size.width() > bound.width() || size.height() > bound.height()) {
            QSize scaled = size.scaled(bound, Qt::KeepAspectRatio).expandedTo({1, 1});
            // The reader scales before applying the orientation.
            if (reader.transformation().testFlag(QImageIOHandler::TransformationRotate90))
                scaled.transpose();
            reader.setScaledSize(scaled);
        }
    }
    QImage image = reader.read();
    if (image.isNull() && errorString)
        *errorString = reader.errorString();
    return image;
}

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
            image = roundedCorners(decodeScaledImage(m_bytes, m_requestedSize, &error), m_radius);
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

EntryImageProvider::EntryImageProvider(std::shared_ptr<EntryImageIndex> index)
    : m_index(std::move(index))
{
    m_pool.setMaxThreadCount(2);
}

EntryImageProvider::~EntryImageProvider()
{
    m_pool.clear();
    m_pool.waitForDone();
}

QQuickImageResponse *EntryImageProvider::requestImageResponse(const QString &id,
                                                              const QSize &requestedSize)
{
    const QStringList parts = id.split(u'/');
    const qreal radius = parts.size() > 1 ? parts.at(1).toDouble() : 0;
    return new EntryImageResponse(m_pool, m_index->bytes(QUuid(parts.first())), requestedSize,
                                  radius);
}

} // namespace tessary

#include "entryimageprovider.moc"
