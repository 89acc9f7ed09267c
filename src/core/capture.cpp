#include "capture.h"

#include <algorithm>

namespace tessary {

bool hasVisibleCharacter(QStringView text)
{
    // QChar::isSpace covers tab, LF to CR, NEL and the Unicode space, line and paragraph
    // separators: exactly the white space and line breaks that do not count as content.
    return std::any_of(text.begin(), text.end(), [](QChar c) { return !c.isSpace(); });
}

std::optional<Payload> capturePayload(ClipboardSource &source)
{
    if (auto urls = source.urls(); urls && !urls->isEmpty() &&
                                   std::all_of(urls->cbegin(), urls->cend(),
                                               [](const QUrl &url) { return url.isLocalFile(); }))
        return Payload::files(std::move(*urls));
    // Zero bytes are no image: such a representation counts as unreadable.
    if (auto bytes = source.tiff(); bytes && !bytes->isEmpty())
        return Payload::image(std::move(*bytes), ImageFormat::Tiff);
    if (auto bytes = source.png(); bytes && !bytes->isEmpty())
        return Payload::image(std::move(*bytes), ImageFormat::Png);
    if (auto text = source.text(); text && hasVisibleCharacter(*text))
        return Payload::text(std::move(*text));
    return std::nullopt;
}

} // namespace tessary
