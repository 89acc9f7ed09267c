#include "filethumbnailsource.h"

#include "futurewatch.h"
#include "iconprovider.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeDatabase>
#include <QPainter>
#include <QScreen>
#include <QtConcurrent>

namespace tessary {

QStringList fileIconNames(const QUrl &url, bool byContent)
{
    const QMimeDatabase mimes;
    const QString path = url.isLocalFile() ? url.toLocalFile() : url.path();
    const QMimeType type = byContent ? mimes.mimeTypeForFile(path)
                                     : mimes.mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    return {type.iconName(), type.genericIconName()};
}

FileThumbnailSource::~FileThumbnailSource()
{
    if (m_thumbnails && !m_thumbnailKey.isEmpty())
        m_thumbnails->remove(m_thumbnailKey);
}

void FileThumbnailSource::setThumbnails(FileThumbnails *thumbnails)
{
    if (m_thumbnails == thumbnails)
        return;
    dropThumbnail();
    ++m_ticket; // results from the previous one are not held anywhere
    m_thumbnails = thumbnails;
    emit thumbnailsChanged();
    request();
}

void FileThumbnailSource::dropThumbnail()
{
    if (m_thumbnailKey.isEmpty())
        return;
    if (m_thumbnails)
        m_thumbnails->remove(m_thumbnailKey);
    m_thumbnailKey.clear();
    emit thumbnailChanged();
}

void FileThumbnailSource::setUrl(const QUrl &url)
{
    if (m_url == url)
        return;
    m_url = url;
    emit urlChanged();
    // Another file's picture must not stand for this one, even when no thumbnail comes.
    dropThumbnail();
    // The icon by name is at hand at once; the content check may refine it.
    setIconNames(fileIconNames(url, false));
    request();
}

void FileThumbnailSource::setTargetSize(const QSizeF &size)
{
    if (m_targetSize == size)
        return;
    m_targetSize = size;
    emit targetSizeChanged();
    request();
}

void FileThumbnailSource::setDevicePixelRatio(qreal ratio)
{
    if (qFuzzyCompare(m_devicePixelRatio, ratio))
        return;
    m_devicePixelRatio = ratio;
    emit devicePixelRatioChanged();
    request();
}

void FileThumbnailSource::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    emit activeChanged();
    if (active)
        request();
    else
        ++m_ticket;
}

QUrl FileThumbnailSource::thumbnailSource() const
{
    return m_thumbnailKey.isEmpty() ? QUrl() : FileThumbnails::source(m_thumbnailKey);
}

QSize FileThumbnailSource::requestedPixels() const
{
    qreal ratio = m_devicePixelRatio;
    if (ratio <= 0) {
        const QScreen *screen = qGuiApp ? QGuiApplication::primaryScreen() : nullptr;
        ratio = screen ? screen->devicePixelRatio() : 2.0;
    }
    return (m_targetSize * ratio).toSize();
}

void FileThumbnailSource::componentComplete()
{
    m_complete = true;
    if (m_iconSource.isEmpty())
        setIconNames(fileIconNames(m_url, false));
    request();
}

void FileThumbnailSource::request()
{
    if (!m_complete || !m_active || !m_thumbnails)
        return;
    const quint64 ticket = ++m_ticket;
    if (m_url.isEmpty())
        return;
    // A previous picture stays until the new result arrives.
    const QUrl url = m_url;
    whenFinished(this, QtConcurrent::run([url] { return fileIconNames(url, true); }),
                 [this, ticket](const QFuture<QStringList> &names) {
                     if (ticket == m_ticket && names.resultCount() > 0)
                         setIconNames(names.result());
                 });
    whenFinished(this, m_thumbnails->make(url, requestedPixels()),
                 [this, ticket](const QFuture<QImage> &image) {
                     if (ticket == m_ticket && image.resultCount() > 0 && !image.result().isNull())
                         setThumbnail(image.result());
                 });
}

void FileThumbnailSource::setIconNames(const QStringList &names)
{
    const QUrl source = IconProvider::source(names);
    if (m_iconSource == source)
        return;
    m_iconSource = source;
    emit iconSourceChanged();
}

QImage roundedCorners(const QImage &image, qreal radius)
{
    if (image.isNull() || radius <= 0)
        return image;
    QImage rounded(image.size(), QImage::Format_ARGB32_Premultiplied);
    rounded.fill(Qt::transparent);
    QPainter painter(&rounded);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QBrush(image));
    painter.drawRoundedRect(QRectF(rounded.rect()), radius, radius);
    painter.end();
    return rounded;
}

QImage withRoundedCorners(const QImage &image, QSizeF box, qreal radius)
{
    if (image.isNull() || box.isEmpty())
        return image;
    // The picture is shown fitted into the box, so the radius is scaled to the picture's pixels.
    const qreal pointsPerPixel = qMin(box.width() / image.width(), box.height() / image.height());
    return roundedCorners(image, radius / pointsPerPixel);
}

void FileThumbnailSource::setThumbnail(const QImage &image)
{
    const QString previous = m_thumbnailKey;
    // Rounded here rather than by a shader, which the software renderer lacks.
    m_thumbnailKey = m_thumbnails->insert(withRoundedCorners(image, m_targetSize, kCornerRadius));
    emit thumbnailChanged();
    if (!previous.isEmpty())
        m_thumbnails->remove(previous);
}

} // namespace tessary
