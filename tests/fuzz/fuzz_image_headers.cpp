// Image bytes as owners send them: the signature that names their format, and the header that
// names their size.

#include "core/entry.h"
#include "core/imageheader.h"
#include "fuzzing.h"

using namespace tessary;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes = fuzzing::bytesOf(data, size);
    const ImageFormat sniffed = sniffImageFormat(bytes);
    for (const ImageFormat declared : {ImageFormat::Png, ImageFormat::Tiff, ImageFormat::Unknown}) {
        const ImageFormat format = imageFormatOf(bytes, declared);
        FUZZ_EXPECT(format == (sniffed == ImageFormat::Unknown ? declared : sniffed));
    }
    const QSize pixels = uprightImageSize(bytes);
    FUZZ_EXPECT(!pixels.isValid() || (pixels.width() > 0 && pixels.height() > 0));
    FUZZ_EXPECT(Payload::image(bytes.toByteArray()).imageSize() == pixels);
    return 0;
}
