#include "expandrule.h"

#include <QTextBoundaryFinder>

namespace tessary {

int graphemeClusterCount(const QString &text, int limit)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    int count = 0;
    while (count <= limit && finder.toNextBoundary() != -1)
        ++count;
    return count;
}

namespace {

QString withLineFeeds(QString text)
{
    if (text.contains(u'\r'))
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return text;
}

// Whether the text has more than `limit` line breaks (LF, CR LF or a lone CR); stops there, as
// a text may be megabytes long.
bool hasMoreLineBreaksThan(QStringView text, int limit)
{
    int breaks = 0;
    for (qsizetype i = 0; i < text.size() && breaks <= limit; ++i) {
        if (text[i] == u'\n' ||
            (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n')))
            ++breaks;
    }
    return breaks > limit;
}

} // namespace

QString displayText(const QString &text)
{
    if (text.size() <= kDisplayTextLimit)
        return withLineFeeds(text);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    finder.setPosition(kDisplayTextLimit);
    const qsizetype cut = finder.isAtBoundary() ? kDisplayTextLimit : finder.toPreviousBoundary();
    return withLineFeeds(text.left(cut > 0 ? cut : kDisplayTextLimit));
}

bool needsExpandToggle(const QString &text)
{
    if (hasMoreLineBreaksThan(text, kCollapsedLineCount - 1))
        return true;
    // Every cluster has at least one code unit: short texts need no boundary search.
    if (text.size() <= kCollapsedCharacterCount)
        return false;
    return graphemeClusterCount(text, kCollapsedCharacterCount) > kCollapsedCharacterCount;
}

} // namespace tessary
