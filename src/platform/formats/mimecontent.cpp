#include "mimecontent.h"

#include "clipboardformats.h"
#include "core/imageformat.h"

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

QString offeredText(const Payload &payload)
{
    switch (payload.kind()) {
    case Payload::Kind::Text:
        return payload.text();
    case Payload::Kind::Files:
        return filesAsText(payload.fileUrls());
    case Payload::Kind::Image:
        break;
    }
    return {};
}

namespace {

QList<Representation> textRepresentations(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    return {{"UTF8_STRING", utf8},
            {"text/plain;charset=utf-8", utf8},
            {"text/plain", utf8},
            {"TEXT", utf8},
            {"STRING", text.toLatin1()}};
}

} // namespace

QList<Representation> representationsOf(const Payload &payload)
{
    switch (payload.kind()) {
    case Payload::Kind::Text:
        return textRepresentations(payload.text());
    case Payload::Kind::Files:
        return QList<Representation>{
                   {"text/uri-list", encodeUriList(payload.fileUrls())},
                   {"x-special/gnome-copied-files", encodeGnomeCopiedFiles(payload.fileUrls())}} +
               textRepresentations(offeredText(payload));
    case Payload::Kind::Image: {
        // The declared type must match the bytes: PNG goes out as PNG, never under TIFF.
        const QByteArray bytes = payload.imageBytes();
        return {{imageMimeType(sniffImageFormat(bytes)).toLatin1(), bytes}};
    }
    }
    return {};
}

} // namespace tessary
