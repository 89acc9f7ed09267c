#pragma once

#include "services.h"

namespace tessary {

// What one clipboard content becomes in the history, by priority: files when every URL on
// offer is a file: URL (the list is never filtered down), then TIFF bytes, then PNG bytes,
// then text with at least one visible character (kept untrimmed).
std::optional<Payload> capturePayload(ClipboardSource &source);

// True when the text holds something besides white space and line breaks.
bool hasVisibleCharacter(QStringView text);

} // namespace tessary
