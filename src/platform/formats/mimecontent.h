#pragma once

// The capture's questions and a copy back's answers spelled in MIME type names, as Wayland names
// every format (X11's target atoms carry the same names).

#include "core/services.h"

#include <functional>

namespace tessary {

// Answers the capture's questions from a content offered under MIME type names, reading only
// the types the answers need, in the capture's order.
class MimeContentSource : public ClipboardSource {
public:
    // The bytes of one offered type, or nothing when they cannot be had.
    using Read = std::function<std::optional<QByteArray>(const QByteArray &mimeType)>;

    MimeContentSource(QList<QByteArray> offered, Read read);

    // A password manager marked the content as secret: nothing of it is to be kept. Asked
    // before anything else.
    bool isSecret();
    std::optional<QList<QUrl>> urls() override;
    std::optional<QByteArray> tiff() override;
    std::optional<QByteArray> png() override;
    std::optional<QString> text() override;

private:
    std::optional<QByteArray> readIfOffered(const char *mimeType);

    QList<QByteArray> m_offered;
    Read m_read;
};

// The payload of a content offered under MIME type names: nothing when a password manager marked
// it secret, or when `contentGone` says, once read, that a representation stalled or was too
// large (the whole content is then left unread rather than half taken).
std::optional<Payload> captureOffered(QList<QByteArray> offered, MimeContentSource::Read read,
                                      const std::function<bool()> &contentGone);

// How the bytes a copy back offers under one type are made from its payload.
enum class OfferEncoding { Utf8Text, Latin1Text, UriList, GnomeCopiedFiles, ImageBytes };

struct OfferedType {
    QByteArray mimeType;
    OfferEncoding encoding;
};

// What a copy back offers, by the payload's kind: text as UTF-8 under the usual text names and
// as Latin-1 STRING; files as text/uri-list and x-special/gnome-copied-files, and their paths as
// text (so they paste into text fields); an image under the one type its bytes are (PNG stays
// PNG, TIFF stays TIFF). Nothing is encoded yet: a large text costs only when asked for.
QList<OfferedType> offeredTypes(const Payload &payload);
QByteArray encodeOffered(const Payload &payload, OfferEncoding encoding);

struct Representation {
    QByteArray mimeType;
    QByteArray data;
};

// The offered types with their bytes, each encoding made once.
QList<Representation> representationsOf(const Payload &payload);

} // namespace tessary
