#include "filethumbnails.h"

#include "iconprovider.h"
#include "thumbnailer.h"

#include <QQmlEngine>

namespace tessary {

FileThumbnails::FileThumbnails(Thumbnailer &thumbnailer, QObject *parent)
    : QObject(parent), m_thumbnailer(thumbnailer)
{}

QFuture<QImage> FileThumbnails::make(const QUrl &fileUrl, QSize pixels)
{
    return m_thumbnailer.thumbnail(fileUrl, pixels);
}

QString FileThumbnails::insert(const QImage &image)
{
    QMutexLocker lock(&m_mutex);
    const QString key = QString::number(m_nextKey++);
    m_images.insert(key, image);
    return key;
}

void FileThumbnails::remove(const QString &key)
{
    QMutexLocker lock(&m_mutex);
    m_images.remove(key);
}

QImage FileThumbnails::value(const QString &key) const
{
    QMutexLocker lock(&m_mutex);
    return m_images.value(key);
}

qsizetype FileThumbnails::size() const
{
    QMutexLocker lock(&m_mutex);
    return m_images.size();
}

QUrl FileThumbnails::source(const QString &key)
{
    return QUrl(
        QStringLiteral("image://%1/%2").arg(QLatin1String(ThumbnailImageProvider::kId), key));
}

QImage ThumbnailImageProvider::requestImage(const QString &id, QSize *size,
                                            const QSize &requestedSize)
{
    Q_UNUSED(requestedSize);
    const QImage image = m_thumbnails.value(id);
    if (size)
        *size = image.size();
    return image;
}

void addFileImageProviders(QQmlEngine &engine, FileThumbnails &thumbnails)
{
    engine.addImageProvider(QLatin1String(IconProvider::kId), new IconProvider);
    engine.addImageProvider(QLatin1String(ThumbnailImageProvider::kId),
                            new ThumbnailImageProvider(thumbnails));
}

} // namespace tessary
