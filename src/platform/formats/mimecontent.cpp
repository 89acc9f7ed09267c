#include "mimecontent.h"

#include "clipboardformats.h"
#include "core/capture.h"
#include "core/imageformat.h"

#include <map>

namespace tessary {

MimeContentSource::MimeContentSource(QList<QByteArray> offered, Read read)
    : m_offered(std::move(offered)), m_read(std::move(read))
{}

std::optional<QByteArray> MimeContentSource::readIfOffered(const char *mimeType)
{
    if (!m_offered.contains(mimeType))
        return std::nullopt;
    return m_read(mimeType);
}

bool MimeContentSource::isSecret()
{
    const auto hint = readIfOffered("x-kde-passwordManagerHint");
    return hint && hint->trimmed() == "secret";
}

std::optional<QList<QUrl>> MimeContentSource::urls()
{
    // File managers that offer both agree on the list; the standard one is preferred.
    if (auto data = readIfOffered("text/uri-list"))
        return parseUriList(*data);
    if (auto data = readIfOffered("x-special/gnome-copied-files"))
        return parseGnomeCopiedFiles(*data);
    return std::nullopt;
}

std::optional<QByteArray> MimeContentSource::tiff()
{
    return readIfOffered("image/tiff");
}

std::optional<QByteArray> MimeContentSource::png()
{
    return readIfOffered("image/png");
}

std::optional<QString> MimeContentSource::text()
{
    const std::pair<const char *, TextEncoding> candidates[] = {
        {"text/plain;charset=utf-8", TextEncoding::Utf8},
        {"UTF8_STRING", TextEncoding::Utf8},
        {"text/plain", TextEncoding::Utf8},
        {"STRING", TextEncoding::Latin1},
    };
    for (const auto &[mimeType, encoding] : candidates) {
        if (auto data = readIfOffered(mimeType))
            return decodeText(*data, encoding);
    }
    return std::nullopt;
}

std::optional<Payload> captureOffered(QList<QByteArray> offered, MimeContentSource::Read read,
                                      const std::function<bool()> &contentGone)
{
    MimeContentSource source(std::move(offered), std::move(read));
    if (source.isSecret())
        return std::nullopt;
    std::optional<Payload> payload = capturePayload(source);
    if (contentGone())
        return std::nullopt;
    return payload;
}

namespace {

// The text a copy back offers: a text's own, the paths of files.
QString offeredText(const Payload &payload)
{
    return payload.kind() == Payload::Kind::Files ? filesAsText(payload.fileUrls())
                                                  : payload.text();
}

} // namespace

QList<OfferedType> offeredTypes(const Payload &payload)
{
    const QList<OfferedType> asText = {{"UTF8_STRING", OfferEncoding::Utf8Text},
                                       {"text/plain;charset=utf-8", OfferEncoding::Utf8Text},
                                       {"text/plain", OfferEncoding::Utf8Text},
                                       {"TEXT", OfferEncoding::Utf8Text},
                                       {"STRING", OfferEncoding::Latin1Text}};
    switch (payload.kind()) {
    case Payload::Kind::Text:
        return asText;
    case Payload::Kind::Files:
        return QList<OfferedType>{
                   {"text/uri-list", OfferEncoding::UriList},
                   {"x-special/gnome-copied-files", OfferEncoding::GnomeCopiedFiles}} +
               asText;
    case Payload::Kind::Image:
        // The declared type must match the bytes: PNG goes out as PNG, never under TIFF.
        return {{imageMimeType(payload.imageFormat()).toLatin1(), OfferEncoding::ImageBytes}};
    }
    return {};
}

QByteArray encodeOffered(const Payload &payload, OfferEncoding encoding)
{
    switch (encoding) {
    case OfferEncoding::Utf8Text:
        return offeredText(payload).toUtf8();
    case OfferEncoding::Latin1Text:
        return offeredText(payload).toLatin1();
    case OfferEncoding::UriList:
        return encodeUriList(payload.fileUrls());
    case OfferEncoding::GnomeCopiedFiles:
        return encodeGnomeCopiedFiles(payload.fileUrls());
    case OfferEncoding::ImageBytes:
        return payload.imageBytes();
    }
    return {};
}

QList<Representation> representationsOf(const Payload &payload)
{
    QList<Representation> representations;
    std::map<OfferEncoding, QByteArray> encoded;
    for (const OfferedType &type : offeredTypes(payload)) {
        auto it = encoded.find(type.encoding);
        if (it == encoded.end())
            it = encoded.emplace(type.encoding, encodeOffered(payload, type.encoding)).first;
        representations.append({type.mimeType, it->second});
    }
    return representations;
}

} // namespace tessary
