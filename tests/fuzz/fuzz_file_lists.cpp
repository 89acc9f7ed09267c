// text/uri-list and x-special/gnome-copied-files as any owner may send them. Whatever is taken
// as a list of files goes back out, on copy back, as the very same list.

#include "fuzzing.h"
#include "platform/formats/clipboardformats.h"

#include <algorithm>

using namespace tessary;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes = fuzzing::bytesOf(data, size);
    for (const QList<QUrl> &urls : {parseUriList(bytes), parseGnomeCopiedFiles(bytes)}) {
        if (urls.isEmpty() || !std::all_of(urls.cbegin(), urls.cend(),
                                           [](const QUrl &url) { return url.isLocalFile(); }))
            continue;
        FUZZ_EXPECT(parseUriList(encodeUriList(urls)) == urls);
        FUZZ_EXPECT(parseGnomeCopiedFiles(encodeGnomeCopiedFiles(urls)) == urls);
    }
    return 0;
}
