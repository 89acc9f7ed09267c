#include "expandrule.h"

#include <QTextBoundaryFinder>

namespace tessary {
namespace {

QString withLineFeeds(QString text)
{
    if (text.contains(u'\r'))
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    return text;
}

} // namespace

QString displayText(const QString &text)
{
    if (text.size() <= kDisplayTextLimit)
        return withLineFeeds(text);
    // Whether the limit falls between clusters depends on what precedes it and on the code point
    // that follows, which takes at most two units: the rest of the text plays no part.
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.constData(),
                               std::min<qsizetype>(text.size(), kDisplayTextLimit + 2));
    finder.setPosition(kDisplayTextLimit);
    const qsizetype cut = finder.isAtBoundary() ? kDisplayTextLimit : finder.toPreviousBoundary();
    return withLineFeeds(text.left(cut > 0 ? cut : kDisplayTextLimit));
}

bool needsExpandToggle(const TextExtent &extent)
{
    return extent.pieces > kCollapsedLineCount || extent.clusters > kCollapsedCharacterCount;
}

} // namespace tessary
