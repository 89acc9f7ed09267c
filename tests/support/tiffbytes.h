#pragma once

// Image headers written byte by byte, for readers that parse them. Header only, so the core
// tests, which link no other test support, use it too.

#include <QByteArray>
#include <QList>

namespace tessary::testing {

// An unsigned integer in either byte order, as image headers spell them.
inline QByteArray integerBytes(quint64 value, int width, bool bigEndian = false)
{
    QByteArray bytes;
    for (int i = 0; i < width; ++i)
        bytes.append(char(value >> (8 * (bigEndian ? width - 1 - i : i))));
    return bytes;
}

struct TiffField {
    quint16 tag;
    quint64 value;    // the value itself, or where the values are when there are several
    quint16 type = 3; // SHORT; 4 is LONG
    quint64 count = 1;
};

// A TIFF header and its one directory, after which the file's own data may follow; BigTIFF
// widens both.
inline QByteArray tiffDirectory(const QList<TiffField> &fields, bool bigEndian = false,
                                bool bigTiff = false)
{
    const auto n = [bigEndian](quint64 value, int width) {
        return integerBytes(value, width, bigEndian);
    };
    const int wide = bigTiff ? 8 : 4;
    QByteArray bytes = bigEndian ? "MM" : "II";
    bytes += bigTiff ? n(43, 2) + n(8, 2) + n(0, 2) + n(16, 8) : n(42, 2) + n(8, 4);
    bytes += n(fields.size(), bigTiff ? 8 : 2);
    for (const TiffField &field : fields) {
        const int width = field.count > 1 ? wide : field.type == 3 ? 2 : 4;
        bytes += n(field.tag, 2) + n(field.type, 2) + n(field.count, wide) + n(field.value, width) +
                 QByteArray(wide - width, '\0');
    }
    return bytes + n(0, wide); // no further directory
}

// A valid grey TIFF one pixel wide and `strips` tall, one row per strip, every strip reading the
// same byte: about six bytes a strip, whose offsets libtiff loads as sixteen when it sizes it.
inline QByteArray stripedTiff(quint32 strips)
{
    constexpr quint16 kLong = 4;
    constexpr quint32 kFields = 9;
    const quint32 offsets = 8 + 2 + kFields * 12 + 4;
    const quint32 counts = offsets + 4 * strips, pixel = counts + 2 * strips;
    const QByteArray directory = tiffDirectory({
        {256, 1},                      // ImageWidth
        {257, strips, kLong},          // ImageLength
        {258, 8},                      // BitsPerSample
        {259, 1},                      // no compression
        {262, 1},                      // black is zero
        {273, offsets, kLong, strips}, // StripOffsets
        {277, 1},                      // SamplesPerPixel
        {278, 1, kLong},               // RowsPerStrip
        {279, counts, 3, strips},      // StripByteCounts
    });
    Q_ASSERT(directory.size() == qsizetype(offsets));
    return directory + integerBytes(pixel, 4).repeated(strips) +
           integerBytes(1, 2).repeated(strips) + char(0x80);
}

} // namespace tessary::testing
