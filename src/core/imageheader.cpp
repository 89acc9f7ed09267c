#include "imageheader.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace tessary {
namespace {

// Unsigned integers of either byte order; nothing for a read past the end.
class ByteReader {
public:
    ByteReader(QByteArrayView bytes, bool bigEndian) : m_bytes(bytes), m_bigEndian(bigEndian) {}

    std::optional<quint64> read(qsizetype at, int width) const
    {
        if (at < 0 || at > m_bytes.size() - width)
            return std::nullopt;
        quint64 value = 0;
        for (int i = 0; i < width; ++i)
            value = value << 8 | quint8(m_bytes[at + (m_bigEndian ? i : width - 1 - i)]);
        return value;
    }

private:
    QByteArrayView m_bytes;
    bool m_bigEndian;
};

struct TiffFacts {
    quint64 width = 0;
    quint64 height = 0;
    quint64 orientation = 1;
};

// More entries than any directory holds: libtiff refuses larger ones too.
constexpr quint64 kMaxDirectoryEntries = 65535;

// The first directory of the TIFF structure the bytes begin with: a TIFF file, or the EXIF block
// of a JPEG.
std::optional<TiffFacts> readTiffDirectory(QByteArrayView bytes)
{
    bool bigEndian = false;
    if (bytes.startsWith("MM"))
        bigEndian = true;
    else if (!bytes.startsWith("II"))
        return std::nullopt;
    const ByteReader in(bytes, bigEndian);
    const std::optional<quint64> version = in.read(2, 2);
    const bool bigTiff = version == 43u;
    if (version != 42u && !bigTiff)
        return std::nullopt;
    // BigTIFF widens offsets and counts to eight bytes (and says so in the header).
    const int countWidth = bigTiff ? 8 : 2, valueWidth = bigTiff ? 8 : 4;
    const int entrySize = 4 + 2 * valueWidth;
    std::optional<quint64> directory = in.read(4, 4);
    if (bigTiff)
        directory = in.read(4, 2) == 8u && in.read(6, 2) == 0u ? in.read(8, 8) : std::nullopt;
    if (!directory || *directory >= quint64(bytes.size()))
        return std::nullopt;
    const qsizetype start = qsizetype(*directory);
    const std::optional<quint64> count = in.read(start, countWidth);
    if (!count)
        return std::nullopt;

    TiffFacts facts;
    for (quint64 i = 0; i < std::min(*count, kMaxDirectoryEntries); ++i) {
        const qsizetype entry = start + countWidth + qsizetype(i) * entrySize;
        const std::optional<quint64> tag = in.read(entry, 2), type = in.read(entry + 2, 2),
                                     values = in.read(entry + 4, valueWidth);
        if (!values)
            break; // the directory runs past the end
        if (*values == 0)
            continue;
        // A single value sits in the entry itself: SHORT, LONG or (BigTIFF) LONG8.
        const qsizetype at = entry + 4 + valueWidth;
        std::optional<quint64> value;
        if (type == 3u)
            value = in.read(at, 2);
        else if (type == 4u)
            value = in.read(at, 4);
        else if (type == 16u && bigTiff)
            value = in.read(at, 8);
        if (!value)
            continue;
        if (tag == 256u)
            facts.width = *value;
        else if (tag == 257u)
            facts.height = *value;
        else if (tag == 274u)
            facts.orientation = *value;
    }
    return facts;
}

QSize upright(quint64 width, quint64 height, quint64 orientation)
{
    if (width == 0 || height == 0 || width > INT_MAX || height > INT_MAX)
        return {};
    // Orientations 5 to 8 store the picture turned by a quarter.
    const bool sideways = orientation >= 5 && orientation <= 8;
    return sideways ? QSize(int(height), int(width)) : QSize(int(width), int(height));
}

QSize pngSize(QByteArrayView bytes)
{
    // The IHDR chunk comes first: length, name, then width and height.
    const ByteReader in(bytes, true);
    if (bytes.size() < 24 || bytes.sliced(12, 4) != "IHDR")
        return {};
    return upright(*in.read(16, 4), *in.read(20, 4), 1);
}

bool isFrameHeader(quint8 marker)
{
    // SOF0 to SOF15, less DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
}

QSize jpegSize(QByteArrayView bytes)
{
    const ByteReader in(bytes, true);
    quint64 orientation = 1;
    bool seenExif = false;
    qsizetype at = 2; // past SOI
    while (at + 4 <= bytes.size()) {
        if (quint8(bytes[at]) != 0xff)
            return {};
        const quint8 marker = quint8(bytes[at + 1]);
        if (marker == 0xff) { // fill byte
            ++at;
            continue;
        }
        if (marker == 0x01 || marker == 0xd8 || (marker >= 0xd0 && marker <= 0xd7)) {
            at += 2; // markers without a segment
            continue;
        }
        if (marker == 0xd9 || marker == 0xda)
            return {}; // the image or its scan begins without a frame header
        const qsizetype length = qsizetype(*in.read(at + 2, 2));
        if (length < 2)
            return {};
        const QByteArrayView segment =
            bytes.sliced(at + 4, std::min(length - 2, bytes.size() - at - 4));
        if (isFrameHeader(marker)) {
            const ByteReader frame(segment, true);
            const std::optional<quint64> height = frame.read(1, 2), width = frame.read(3, 2);
            return width && height ? upright(*width, *height, orientation) : QSize();
        }
        if (marker == 0xe1 && !seenExif && segment.startsWith(QByteArrayView("Exif\0\0", 6))) {
            seenExif = true;
            if (const std::optional<TiffFacts> exif = readTiffDirectory(segment.sliced(6)))
                orientation = exif->orientation;
        }
        at += 2 + length;
    }
    return {};
}

} // namespace

QSize uprightImageSize(QByteArrayView bytes)
{
    if (bytes.startsWith(QByteArrayView("\x89PNG\r\n\x1a\n", 8)))
        return pngSize(bytes);
    if (bytes.startsWith(QByteArrayView("\xff\xd8", 2)))
        return jpegSize(bytes);
    if (const std::optional<TiffFacts> tiff = readTiffDirectory(bytes))
        return upright(tiff->width, tiff->height, tiff->orientation);
    return {};
}

} // namespace tessary
