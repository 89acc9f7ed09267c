// The expand rule and the text a tile lays out, for any UTF-16: measured from the text's beginning
// only, they must say what the whole text says.

#include "app/card/expandrule.h"
#include "fuzzing.h"

#include <QTextBoundaryFinder>

using namespace tessary;

namespace {

QList<qsizetype> boundaries(const QString &text)
{
    QList<qsizetype> found;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype at = finder.toNextBoundary(); at != -1; at = finder.toNextBoundary())
        found.append(at);
    return found;
}

// Every line break (LF, CR LF, a lone CR) made a line feed.
QString withLineFeeds(QString text)
{
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Short inputs are stretched, so that the tile's cut is reached too.
    const QString piece = fuzzing::utf16Of(fuzzing::bytesOf(data, size));
    const QString text =
        size > 0 && data[0] % 4 == 0
            ? piece.repeated(kDisplayTextLimit / std::max<qsizetype>(piece.size(), 1) + 2)
            : piece;
    const QList<qsizetype> clusters = boundaries(text);
    const qsizetype lines = withLineFeeds(text).count(u'\n') + 1;

    const TextExtent extent = Payload::text(text).textExtent();
    FUZZ_EXPECT(extent.clusters ==
                std::min<qsizetype>(clusters.size(), TextExtent::kCountedClusters));
    FUZZ_EXPECT(extent.pieces == std::min<qsizetype>(lines, TextExtent::kCountedPieces));
    FUZZ_EXPECT(needsExpandToggle(extent) ==
                (lines > kCollapsedLineCount || clusters.size() > kCollapsedCharacterCount));

    // Beyond the limit: up to the last whole cluster at or before it, or up to the limit itself
    // when one cluster reaches past it from the start.
    qsizetype cut = text.size();
    if (text.size() > kDisplayTextLimit) {
        cut = kDisplayTextLimit;
        for (qsizetype at : clusters) {
            if (at > kDisplayTextLimit)
                break;
            cut = at;
        }
    }
    FUZZ_EXPECT(displayText(text) == withLineFeeds(text.left(cut)));
    return 0;
}
