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

QByteArray stripedTiff(quint32 strips)
{
    // Little-endian throughout: header, one directory, the two strip arrays, the pixel.
    QByteArray bytes;
    const auto put = [&bytes](quint64 value, int width) {
        for (int i = 0; i < width; ++i)
            bytes.append(char(value >> (8 * i)));
    };
    struct Field {
        quint16 tag, type;
        quint32 count, value;
    };
    constexpr quint16 kShort = 3, kLong = 4;
    constexpr quint32 kDirectory = 8, kEntries = 9;
    const quint32 offsets = kDirectory + 2 + kEntries * 12 + 4;
    const quint32 counts = offsets + 4 * strips, pixel = counts + 2 * strips;
    const Field fields[kEntries] = {
        {256, kShort, 1, 1},           // ImageWidth
        {257, kLong, 1, strips},       // ImageLength
        {258, kShort, 1, 8},           // BitsPerSample
        {259, kShort, 1, 1},           // no compression
        {262, kShort, 1, 1},           // black is zero
        {273, kLong, strips, offsets}, // StripOffsets
        {277, kShort, 1, 1},           // SamplesPerPixel
        {278, kLong, 1, 1},            // RowsPerStrip
        {279, kShort, strips, counts}, // StripByteCounts
    };
    bytes.reserve(pixel + 1);
    bytes.append("II*\0", 4);
    put(kDirectory, 4);
    put(kEntries, 2);
    for (const Field &field : fields) {
        put(field.tag, 2);
        put(field.type, 2);
        put(field.count, 4);
        put(field.value, field.type == kShort && field.count == 1 ? 2 : 4);
        if (field.type == kShort && field.count == 1)
            put(0, 2);
    }
    put(0, 4); // no further directory
    for (quint32 i = 0; i < strips; ++i)
        put(pixel, 4);
    for (quint32 i = 0; i < strips; ++i)
        put(1, 2);
    bytes.append(char(0x80));
    return bytes;
}

} // namespace tessary::testing
