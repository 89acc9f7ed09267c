#include "images.h"

#include <QBuffer>
#include <QImageWriter>

namespace tessary::testing {

QByteArray encodedImage(QSize size, const char *format, QColor colour,
                        QImageIOHandler::Transformations orientation)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setTransformation(orientation);
    writer.write(image);
    return bytes;
}

QByteArray encodedImage(const QImage &image, const char *format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

} // namespace tessary::testing
