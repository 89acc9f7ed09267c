#pragma once

#include "support/tiffbytes.h" // stripedTiff, for the readers of images

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

} // namespace tessary::testing
