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

QString displayText(const QString &text)
{
    if (text.size() <= kDisplayTextLimit)
        return text;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    finder.setPosition(kDisplayTextLimit);
    const qsizetype cut = finder.isAtBoundary() ? kDisplayTextLimit : finder.toPreviousBoundary();
    return text.left(cut > 0 ? cut : kDisplayTextLimit);
}

bool needsExpandToggle(const QString &text)
{
    // Pieces = line feeds + 1.
    if (text.count(QChar(u'\n')) + 1 > kCollapsedLineCount)
        return true;
    // Every cluster has at least one code unit: short texts need no boundary search.
    if (text.size() <= kCollapsedCharacterCount)
        return false;
    return graphemeClusterCount(text, kCollapsedCharacterCount) > kCollapsedCharacterCount;
}

} // namespace tessary
