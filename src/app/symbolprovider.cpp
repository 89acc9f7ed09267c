#include "symbolprovider.h"

#include <QColor>
#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

namespace tessary {

SymbolProvider::SymbolProvider() : QQuickImageProvider(QQuickImageProvider::Image) {}

QImage SymbolProvider::requestImage(const QString &id, QSize *size, const QSize &requestedSize)
{
    const qsizetype slash = id.lastIndexOf(u'/');
    const QString name = id.left(slash);
    const QColor color = QColor::fromString(u'#' + id.mid(slash + 1));
    // Names come from our own views; anything but a bundled symbol is simply not found.
    QFile file(QStringLiteral(":/tessary/symbols/%1.svg").arg(name));
    if (slash <= 0 || name.contains(u'/') || !color.isValid() || !file.open(QIODevice::ReadOnly))
        return {};

    QByteArray svg = file.readAll();
    svg.replace("currentColor", color.name(QColor::HexRgb).toLatin1());
    QSvgRenderer renderer(svg);
    const QSize natural = renderer.defaultSize();
    const QSize target =
        requestedSize.isEmpty() ? natural : natural.scaled(requestedSize, Qt::KeepAspectRatio);
    QImage image(target, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setOpacity(color.alphaF());
    renderer.render(&painter);
    painter.end();
    if (size)
        *size = target;
    return image;
}

} // namespace tessary
