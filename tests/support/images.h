#pragma once

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QImageIOHandler>
#include <QSize>

namespace tessary::testing {

// A picture of one colour, as a file of that format would hold it ("PNG", "TIFF", "JPEG").
// A transformation is recorded as the file's orientation (TIFF and JPEG), so a reader that
// honours it turns the picture upright.
QByteArray encodedImage(QSize size, const char *format, QColor colour = Qt::darkMagenta,
                        QImageIOHandler::Transformations orientation = {});
// The image as a file of that format holds it.
QByteArray encodedImage(const QImage &image, const char *format, int quality = -1);

// A valid grey TIFF one pixel wide and `strips` tall, one row per strip, every strip reading the
// same byte: about six bytes a strip, whose offsets libtiff loads as sixteen when it sizes it.
QByteArray stripedTiff(quint32 strips);

} // namespace tessary::testing
