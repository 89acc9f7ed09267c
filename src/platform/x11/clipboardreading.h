#pragma once

#include "core/services.h"

namespace tessary::x11 {

class SelectionReader;

// What the clipboard on offer now becomes in the history, read through the reader: TARGETS
// first, then only the targets the capture rules ask for. Blocks; runs on the reader thread.
std::optional<Payload> captureClipboard(SelectionReader &reader);

} // namespace tessary::x11
