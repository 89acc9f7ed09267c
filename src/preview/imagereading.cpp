#include "imagereading.h"

#include <QBuffer>
#include <QImageReader>
#include <climits>

namespace tessary::images {
namespace {

bool turnsSideways(const QImageReader &reader)
{
    return reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
}

} // namespace

QSize uprightSize(QImageReader &reader)
{
    reader.setAutoTransform(true);
    QSize size = reader.size();
    if (size.isValid() && turnsSideways(reader))
        size.transpose();
    return size.isValid() && !size.isEmpty() ? size : QSize();
}

QImage readUpright(QImageReader &reader, QSize box, QString *errorString)
{
    const QSize size = uprightSize(reader);
    if (size.isValid() && (box.width() > 0 || box.height() > 0)) {
        const QSize bound(box.width() > 0 ? box.width() : INT_MAX,
                          box.height() > 0 ? box.height() : INT_MAX);
        if (size.width() > bound.width() || size.height() > bound.height()) {
            QSize scaled = size.scaled(bound, Qt::KeepAspectRatio).expandedTo({1, 1});
            // The reader scales before it turns the picture upright.
            if (turnsSideways(reader))
                scaled.transpose();
            reader.setScaledSize(scaled);
        }
    }
    QImage image = reader.read();
    if (image.isNull() && errorString)
        *errorString = reader.errorString();
    return image;
}

QImage readUpright(const QByteArray &bytes, QSize box, QString *errorString)
{
    QByteArray data = bytes;
    QBuffer buffer(&data);
    QImageReader reader(&buffer);
    return readUpright(reader, box, errorString);
}

QImage readUprightFile(const QString &path, QSize box, QString *errorString)
{
    QImageReader reader(path);
    return readUpright(reader, box, errorString);
}

} // namespace tessary::images
