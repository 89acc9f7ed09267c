#pragma once

#include <QByteArrayView>
#include <QString>

namespace tessary {

// An image entry's format is told from its bytes wherever it matters (copy back, staging,
// drag-out); the type the owner offered them as stands when their signature is unknown.
enum class ImageFormat { Png, Tiff, Unknown };

ImageFormat sniffImageFormat(QByteArrayView bytes);
// The format the bytes' signature shows, else the declared one: a JPEG offered as image/png
// stays image/png, as relabelling it would be guessing.
ImageFormat imageFormatOf(QByteArrayView bytes, ImageFormat declared);
// "image/png", "image/tiff"; TIFF for bytes of no known signature, as they were captured
// from the TIFF representation or the PNG one and PNG's signature is unmistakable.
QString imageMimeType(ImageFormat format);
// "png" or "tiff", without the dot.
QString imageFileExtension(ImageFormat format);

} // namespace tessary
