#include "entrymatch.h"

#include <algorithm>

namespace tessary {
namespace {

// Texts longer than this (UTF-16 units, about half a millisecond of searching) are matched
// off the GUI thread; long ones are searched a piece at a time between checks for a newer
// query.
constexpr qsizetype kLongText = 64 * 1024;
constexpr qsizetype kPiece = 1024 * 1024;

// Whether a match ending here would cut a character apart from its marks: then it is not one.
bool continuesACharacter(QStringView haystack, qsizetype at)
{
    if (at >= haystack.size())
        return false;
    char32_t next = haystack[at].unicode();
    if (QChar::isHighSurrogate(next) && at + 1 < haystack.size())
        next = QChar::surrogateToUcs4(haystack[at].unicode(), haystack[at + 1].unicode());
    return QChar::combiningClass(next) != 0;
}

} // namespace

EntryQuery::EntryQuery(const QString &typed, const QStringList &imageWords)
    : m_needle(canonicalForm(typed))
{
    const QString word = typed.trimmed();
    m_namesImages = !word.isEmpty() &&
                    std::any_of(imageWords.cbegin(), imageWords.cend(), [&](const QString &w) {
                        return QString::compare(canonicalForm(w), canonicalForm(word),
                                                Qt::CaseInsensitive) == 0;
                    });
}

bool EntryQuery::isLong(const Payload &payload)
{
    return payload.canonicalText().size() > kLongText;
}

bool EntryQuery::matches(const Payload &payload, const std::function<bool()> &cancelled) const
{
    if (isEmpty())
        return true;
    switch (payload.kind()) {
    case Payload::Kind::Text:
        return findIn(payload.canonicalText(), cancelled);
    case Payload::Kind::Image:
        return m_namesImages;
    case Payload::Kind::Files: {
        const QList<QUrl> urls = payload.fileUrls();
        return std::any_of(urls.cbegin(), urls.cend(), [&](const QUrl &url) {
            const QString path =
                url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::PrettyDecoded);
            return findIn(canonicalForm(path), cancelled);
        });
    }
    }
    return false;
}

bool EntryQuery::findIn(QStringView haystack, const std::function<bool()> &cancelled) const
{
    const qsizetype length = m_needle.size();
    // Piece by piece, each overlapping the last by all but one character of the needle, so
    // that no match falls between two.
    for (qsizetype start = 0; start + length <= haystack.size();) {
        if (cancelled && cancelled())
            return false;
        const qsizetype end = std::min(haystack.size(), start + kPiece);
        const QStringView piece = haystack.first(end);
        // Qt's own search: faster than a QStringMatcher for the short needles typing makes.
        for (qsizetype at = piece.indexOf(m_needle, start, Qt::CaseInsensitive); at >= 0;
             at = piece.indexOf(m_needle, at + 1, Qt::CaseInsensitive)) {
            if (!continuesACharacter(haystack, at + length))
                return true;
        }
        if (end == haystack.size())
            break;
        start = end - length + 1;
    }
    return false;
}

} // namespace tessary
