#pragma once

#include "core/entry.h"

#include <QString>

namespace tessary {

// A collapsed text card shows this many lines...
inline constexpr int kCollapsedLineCount = 4;
// ...and a text longer than this many user-perceived characters is offered in full as well.
inline constexpr int kCollapsedCharacterCount = 200;
static_assert(kCollapsedLineCount < TextExtent::kCountedPieces &&
                  kCollapsedCharacterCount < TextExtent::kCountedClusters,
              "the text's measured extent has to reach past what the rule compares");

// Whether a text entry gets the expand toggle: more than four lines (a trailing line break makes
// an empty last line; a line ends at LF, CR LF or a lone CR, as the tile shows it), or more than
// 200 grapheme clusters. Decided from the extent measured when the payload was built.
bool needsExpandToggle(const TextExtent &extent);

// A tile never shows more than this many UTF-16 units of a text: expanded it holds about 25
// lines of 40 characters, so this is far beyond what can be seen, and laying out megabytes of
// text for every card made would stall the list.
inline constexpr int kDisplayTextLimit = 4096;

// The text as the tile lays it out: whole when short, else its beginning, cut between grapheme
// clusters at or before kDisplayTextLimit (it looks at no more than that beginning); every line
// break made a line feed (the text layout breaks lines at LF alone, and would join lines that
// end in a lone CR).
QString displayText(const QString &text);

} // namespace tessary
