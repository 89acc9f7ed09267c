#include "iconprovider.h"

#include <QIcon>
#include <QUrl>

namespace tessary {

QIcon IconProvider::iconFor(const QString &id)
{
    const QStringList names = id.split(u',', Qt::SkipEmptyParts);
    for (const QString &name : names) {
        if (QIcon::hasThemeIcon(name))
            return QIcon::fromTheme(name);
    }
    const bool image = !names.isEmpty() && names.first().startsWith(u"image");
    return QIcon(image ? QStringLiteral(":/tessary/preview/photo.svg")
                       : QStringLiteral(":/tessary/preview/doc.svg"));
}

QUrl IconProvider::source(const QStringList &names)
{
    return QUrl(QStringLiteral("image://%1/%2").arg(QLatin1String(kId), names.join(u',')));
}

QPixmap IconProvider::requestPixmap(const QString &id, QSize *size, const QSize &requestedSize)
{
    const QSize wanted(requestedSize.width() > 0 ? requestedSize.width() : 32,
                       requestedSize.height() > 0 ? requestedSize.height() : 32);
    QPixmap pixmap = iconFor(id).pixmap(wanted);
    if (size)
        *size = pixmap.size();
    return pixmap;
}

} // namespace tessary
