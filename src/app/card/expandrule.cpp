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
