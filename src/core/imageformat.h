#pragma once

#include <QByteArrayView>
#include <QString>

namespace tessary {

// Image entries do not record their format: it is told from the bytes wherever it matters
// (copy back, staging, drag-out).
enum class ImageFormat { Png, Tiff, Unknown };

ImageFormat sniffImageFormat(QByteArrayView bytes);
// "image/png", "image/tiff"; TIFF for bytes of no known signature, as they were captured
// from the TIFF representation or the PNG one and PNG's signature is unmistakable.
QString imageMimeType(ImageFormat format);
// "png" or "tiff", without the dot.
QString imageFileExtension(ImageFormat format);

} // namespace tessary
