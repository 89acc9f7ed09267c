#pragma once

#include "imageformat.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QSize>
#include <QString>
#include <QUrl>
#include <QUuid>
#include <variant>

namespace tessary {

// How much text there is, measured from its beginning only as far as any view needs to tell a
// short text from a long one, so that no view ever has to go through a long text again.
struct TextExtent {
    static constexpr int kCountedClusters = 201;
    static constexpr int kCountedPieces = 5;
    // Grapheme clusters (user-perceived characters), counted up to kCountedClusters.
    int clusters = 0;
    // Lines (line breaks + 1; a line ends at LF, CR LF or a lone CR), counted up to
    // kCountedPieces.
    int pieces = 1;
    friend bool operator==(const TextExtent &, const TextExtent &) = default;
};

// The grapheme clusters in the text, counted no further than limit + 1. Looks only as far into
// the text as those clusters reach.
int graphemeClusterCount(QStringView text, int limit);

// What one clipboard change held. Texts are kept exactly as read, images as the raw TIFF or PNG
// bytes the owner sent, files as the owner's ordered list of file: URLs. Immutable, and cheap to
// copy: copies share their storage.
class Payload {
public:
    enum class Kind { Text, Image, Files };

    // Decomposes the text once, so that comparing it later costs a hash check, and measures its
    // extent. That takes time linear in its length: backends build text payloads where they read
    // them, off the GUI thread.
    static Payload text(QString text);
    // The declared format is the type the owner offered the bytes as. Reads the picture's size
    // from their header, once, where the payload is built.
    static Payload image(QByteArray bytes, ImageFormat declared = ImageFormat::Unknown);
    static Payload files(QList<QUrl> urls) { return Payload(std::move(urls)); }

    Kind kind() const { return static_cast<Kind>(m_value.index()); }
    // Each accessor returns an empty value for the other kinds.
    QString text() const;
    // The text's canonical decomposition (NFD), made when the payload was built: what text
    // equality compares, and what a search looks in. Valid while this payload lives.
    QStringView canonicalText() const;
    TextExtent textExtent() const;
    QByteArray imageBytes() const;
    ImageFormat imageFormat() const; // see imageFormatOf()
    // The picture's pixel size once upright, from its header; invalid when the header names
    // none (see uprightImageSize()).
    QSize imageSize() const;
    QList<QUrl> fileUrls() const;

    // The memory the payload holds: its text (and any decomposition of it), its image bytes,
    // its URLs.
    qint64 memorySize() const;
    // Whether both hold the very same storage, one being a copy of the other.
    bool isSharedWith(const Payload &other) const;

    // Canonically equivalent texts are equal (no other folding); images compare length, then
    // bytes; file lists compare in order, URL text against URL text. Kinds never mix.
    friend bool operator==(const Payload &a, const Payload &b);

private:
    struct Text {
        QString text;
        QString decomposed; // the canonical decomposition (NFD); null when the text is in NFD
        size_t hash;        // of the decomposition
        TextExtent extent;
        QStringView canonical() const { return decomposed.isNull() ? text : decomposed; }
    };
    struct Image {
        QByteArray bytes;
        ImageFormat declared;
        QSize size;
    };
    using Value = std::variant<Text, Image, QList<QUrl>>;
    explicit Payload(Value value) : m_value(std::move(value)) {}
    Value m_value;
};

// The canonical decomposition (NFD) of a text, in linear time: for short texts such as a typed
// query or a file path. Text payloads keep theirs (canonicalText()).
QString canonicalForm(const QString &text);

// One history entry. Entries are never modified: a repeated copy becomes a new entry.
struct Entry {
    QUuid id;
    Payload payload;
    QDateTime capturedAt;

    static Entry create(Payload payload);
};

} // namespace tessary
