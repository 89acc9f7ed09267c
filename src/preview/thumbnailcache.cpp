#include "thumbnailcache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QStandardPaths>

namespace tessary::thumbnailcache {

namespace {
constexpr int kLargeSide = 256;
constexpr int kExtraLargeSide = 512;
} // namespace

QByteArray canonicalUri(const QUrl &fileUrl)
{
    return QUrl::fromLocalFile(QFileInfo(fileUrl.toLocalFile()).absoluteFilePath()).toEncoded();
}

QString cacheRoot()
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.cache");
    return base + QStringLiteral("/thumbnails");
}

QString flavorFor(QSize pixels)
{
    return qMax(pixels.width(), pixels.height()) <= kLargeSide ? QStringLiteral("large")
                                                               : QStringLiteral("x-large");
}

QStringList lookupFlavors(QSize pixels)
{
    if (flavorFor(pixels) == QLatin1String("large"))
        return {QStringLiteral("large"), QStringLiteral("x-large")};
    return {QStringLiteral("x-large"), QStringLiteral("large")};
}

QString thumbnailPath(const QUrl &fileUrl, const QString &flavor)
{
    const QByteArray hash =
        QCryptographicHash::hash(canonicalUri(fileUrl), QCryptographicHash::Md5).toHex();
    return cacheRoot() + QLatin1Char('/') + flavor + QLatin1Char('/') + QString::fromLatin1(hash) +
           QStringLiteral(".png");
}

QImage read(const QUrl &fileUrl, QSize pixels)
{
    if (!fileUrl.isLocalFile())
        return {};
    const QFileInfo file(fileUrl.toLocalFile());
    if (!file.exists())
        return {};
    const qint64 mtime = file.lastModified().toSecsSinceEpoch();
    const QString uri = QString::fromLatin1(canonicalUri(fileUrl));
    for (const QString &flavor : lookupFlavors(pixels)) {
        // QImageReader::text() splits keys at colons, so the stamps are read from the image.
        QImageReader reader(thumbnailPath(fileUrl, flavor), "png");
        const QImage image = reader.read();
        if (image.isNull())
            continue;
        // A thumbnail without its MTime cannot be told from a stale one.
        bool ok = false;
        const qint64 thumbMtime = image.text(QStringLiteral("Thumb::MTime")).toLongLong(&ok);
        if (!ok || thumbMtime != mtime)
            continue;
        const QString thumbUri = image.text(QStringLiteral("Thumb::URI"));
        if (!thumbUri.isEmpty() && thumbUri != uri)
            continue;
        return image;
    }
    return {};
}

} // namespace tessary::thumbnailcache
