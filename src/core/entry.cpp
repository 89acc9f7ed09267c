#include "entry.h"

#include "imageheader.h"

#include <QTextBoundaryFinder>
#include <limits>
#include <unicode/unorm2.h>

namespace tessary {
namespace {

template <typename T> T valueOr(const auto &variant)
{
    if (const T *value = std::get_if<T>(&variant))
        return *value;
    return {};
}

// The canonical decomposition (NFD) of the text, or a null string when the text is in NFD
// already (ASCII always is), so that such texts are not held twice. ICU's normaliser runs in
// linear time.
QString canonicalDecomposition(const QString &text)
{
    // Beyond ICU's 32-bit lengths; the capture's size cap keeps every clipboard text far below.
    if (text.size() > std::numeric_limits<int32_t>::max())
        return text.normalized(QString::NormalizationForm_D);
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2 *nfd = unorm2_getNFDInstance(&status);
    const auto *source = reinterpret_cast<const UChar *>(text.utf16());
    const auto length = static_cast<int32_t>(text.size());
    if (U_FAILURE(status) || unorm2_spanQuickCheckYes(nfd, source, length, &status) == length)
        return {};
    // Decomposition seldom grows a text by much: one pass into a little spare room usually
    // does, else a second one into the exact size.
    QString decomposed(length + length / 4 + 16, Qt::Uninitialized);
    for (int pass = 0; pass < 2; ++pass) {
        status = U_ZERO_ERROR;
        const int32_t written =
            unorm2_normalize(nfd, source, length, reinterpret_cast<UChar *>(decomposed.data()),
                             static_cast<int32_t>(decomposed.size()), &status);
        decomposed.resize(written);
        if (status != U_BUFFER_OVERFLOW_ERROR)
            break;
    }
    if (U_FAILURE(status))
        return text.normalized(QString::NormalizationForm_D);
    decomposed.squeeze();
    return decomposed;
}

bool sameBytes(const QByteArray &a, const QByteArray &b)
{
    // QByteArray's operator== checks the length before touching any byte, and memcmp runs at
    // memory bandwidth; shared storage is caught by the pointer test.
    return a.isSharedWith(b) || a == b;
}

bool sameUrls(const QList<QUrl> &a, const QList<QUrl> &b)
{
    if (a.size() != b.size())
        return false;
    if (a.constData() == b.constData())
        return true;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].toString(QUrl::FullyEncoded) != b[i].toString(QUrl::FullyEncoded))
            return false;
    }
    return true;
}

TextExtent measureExtent(QStringView text)
{
    TextExtent extent;
    extent.clusters = graphemeClusterCount(text, TextExtent::kCountedClusters - 1);
    for (qsizetype i = 0; i < text.size() && extent.pieces < TextExtent::kCountedPieces; ++i) {
        if (text[i] == u'\n' ||
            (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')))
            ++extent.pieces;
    }
    return extent;
}

} // namespace

int graphemeClusterCount(QStringView text, int limit)
{
    // Boundaries are found in a growing window at the text's beginning rather than in the whole
    // text, whose every character the finder would classify first. A boundary depends on what
    // precedes it and on the code point after it, so only those within the window's last two
    // units, which may begin a code point the window cuts, are left for a larger window.
    for (qsizetype window = 4 * (qsizetype(limit) + 1);; window *= 2) {
        const bool whole = window >= text.size();
        const QStringView part = whole ? text : text.first(window);
        const qsizetype trusted = whole ? part.size() : part.size() - 2;
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, part.data(), part.size());
        int count = 0;
        for (qsizetype at = finder.toNextBoundary(); at != -1 && at <= trusted && count <= limit;
             at = finder.toNextBoundary())
            ++count;
        if (whole || count > limit)
            return count;
    }
}

Payload Payload::text(QString text)
{
    QString decomposed = canonicalDecomposition(text);
    const size_t hash = qHash(decomposed.isNull() ? QStringView(text) : QStringView(decomposed));
    const TextExtent extent = measureExtent(text);
    return Payload(Text{std::move(text), std::move(decomposed), hash, extent});
}

Payload Payload::image(QByteArray bytes, ImageFormat declared)
{
    const QSize size = uprightImageSize(bytes);
    return Payload(Image{std::move(bytes), declared, size});
}

QString canonicalForm(const QString &text)
{
    QString decomposed = canonicalDecomposition(text);
    return decomposed.isNull() ? text : decomposed;
}

QString Payload::text() const
{
    if (const Text *value = std::get_if<Text>(&m_value))
        return value->text;
    return {};
}

QStringView Payload::canonicalText() const
{
    if (const Text *value = std::get_if<Text>(&m_value))
        return value->canonical();
    return {};
}

TextExtent Payload::textExtent() const
{
    if (const Text *value = std::get_if<Text>(&m_value))
        return value->extent;
    return {};
}

QByteArray Payload::imageBytes() const
{
    return valueOr<Image>(m_value).bytes;
}

QSize Payload::imageSize() const
{
    return valueOr<Image>(m_value).size;
}

ImageFormat Payload::imageFormat() const
{
    const Image image = valueOr<Image>(m_value);
    return imageFormatOf(image.bytes, image.declared);
}
QList<QUrl> Payload::fileUrls() const
{
    return valueOr<QList<QUrl>>(m_value);
}

qint64 Payload::memorySize() const
{
    switch (kind()) {
    case Kind::Text: {
        const Text &value = std::get<Text>(m_value);
        return (value.text.size() + value.decomposed.size()) * qint64(sizeof(QChar));
    }
    case Kind::Image:
        return std::get<Image>(m_value).bytes.size();
    case Kind::Files: {
        qint64 size = 0;
        for (const QUrl &url : std::get<QList<QUrl>>(m_value))
            size += qint64(sizeof(QUrl)) + url.toString().size() * qint64(sizeof(QChar));
        return size;
    }
    }
    return 0;
}

bool Payload::isSharedWith(const Payload &other) const
{
    if (m_value.index() != other.m_value.index())
        return false;
    switch (kind()) {
    case Kind::Text:
        return std::get<Text>(m_value).text.isSharedWith(std::get<Text>(other.m_value).text);
    case Kind::Image:
        return std::get<Image>(m_value).bytes.isSharedWith(std::get<Image>(other.m_value).bytes);
    case Kind::Files:
        return std::get<QList<QUrl>>(m_value).isSharedWith(std::get<QList<QUrl>>(other.m_value));
    }
    return false;
}

bool operator==(const Payload &a, const Payload &b)
{
    if (a.m_value.index() != b.m_value.index())
        return false;
    switch (a.kind()) {
    case Payload::Kind::Text: {
        // Canonical equivalence: both decompose to the same sequence. Compatibility forms
        // (ligatures, full-width letters) stay distinct: only the canonical decomposition is
        // applied. Texts that differ almost always differ in the hash already.
        const Payload::Text &x = std::get<Payload::Text>(a.m_value);
        const Payload::Text &y = std::get<Payload::Text>(b.m_value);
        return x.text.isSharedWith(y.text) || (x.hash == y.hash && x.canonical() == y.canonical());
    }
    case Payload::Kind::Image:
        return sameBytes(std::get<Payload::Image>(a.m_value).bytes,
                         std::get<Payload::Image>(b.m_value).bytes);
    case Payload::Kind::Files:
        return sameUrls(std::get<QList<QUrl>>(a.m_value), std::get<QList<QUrl>>(b.m_value));
    }
    return false;
}

Entry Entry::create(Payload payload)
{
    return Entry{QUuid::createUuid(), std::move(payload), QDateTime::currentDateTime()};
}

} // namespace tessary
