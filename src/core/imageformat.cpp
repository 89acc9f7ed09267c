#include "imageformat.h"

namespace tessary {

ImageFormat sniffImageFormat(QByteArrayView bytes)
{
    // Signatures hold NUL bytes, so their lengths are given explicitly.
    static constexpr QByteArrayView png("\x89PNG\r\n\x1a\n", 8);
    static constexpr QByteArrayView tiffSignatures[] = {
        {"II*\0", 4},
        {"MM\0*", 4}, // classic TIFF, little- and big-endian
        {"II+\0", 4},
        {"MM\0+", 4}, // BigTIFF
    };
    if (bytes.startsWith(png))
        return ImageFormat::Png;
    for (QByteArrayView signature : tiffSignatures) {
        if (bytes.startsWith(signature))
            return ImageFormat::Tiff;
    }
    return ImageFormat::Unknown;
}

ImageFormat imageFormatOf(QByteArrayView bytes, ImageFormat declared)
{
    const ImageFormat sniffed = sniffImageFormat(bytes);
    return sniffed == ImageFormat::Unknown ? declared : sniffed;
}

QString imageMimeType(ImageFormat format)
{
    return format == ImageFormat::Png ? QStringLiteral("image/png") : QStringLiteral("image/tiff");
}

QString imageFileExtension(ImageFormat format)
{
    return format == ImageFormat::Png ? QStringLiteral("png") : QStringLiteral("tiff");
}

} // namespace tessary
