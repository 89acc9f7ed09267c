#include "thumbnailimageprovider.h"

#include <QIcon>
#include <QPixmap>

namespace tessary {

ThumbnailStore &ThumbnailStore::instance()
{
    static ThumbnailStore store;
    return store;
}

QString ThumbnailStore::insert(const QImage &image)
{
    QMutexLocker lock(&m_mutex);
    const QString key = QString::number(m_nextKey++);
    m_images.insert(key, image);
    return key;
}

void ThumbnailStore::remove(const QString &key)
{
    QMutexLocker lock(&m_mutex);
    m_images.remove(key);
}

QImage ThumbnailStore::value(const QString &key) const
{
    QMutexLocker lock(&m_mutex);
    return m_images.value(key);
}

qsizetype ThumbnailStore::size() const
{
    QMutexLocker lock(&m_mutex);
    return m_images.size();
}

QImage ThumbnailImageProvider::requestImage(const QString &id, QSize *size,
                                            const QSize &requestedSize)
{
    Q_UNUSED(requestedSize);
    const QImage image = ThumbnailStore::instance().value(id);
    if (size)
        *size = image.size();
    return image;
}

QPixmap FileIconImageProvider::requestPixmap(const QString &id, QSize *size,
                                             const QSize &requestedSize)
{
    static const QIcon bundled(QStringLiteral(":/tessary/preview/generic-file.svg"));
    const QStringList names = id.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QIcon icon;
    for (const QString &name : names) {
        icon = QIcon::fromTheme(name);
        if (!icon.isNull())
            break;
    }
    if (icon.isNull())
        icon = bundled;
    const QSize wanted =
        requestedSize.isValid() && !requestedSize.isEmpty() ? requestedSize : QSize(128, 128);
    const QPixmap pixmap = icon.pixmap(wanted);
    if (size)
        *size = pixmap.size();
    return pixmap;
}

} // namespace tessary
