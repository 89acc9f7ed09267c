#pragma once

namespace tessary {
class X11Pasteboard;
}

namespace tessary::bench {

// Capture time, peak memory and outcome for an owner that keeps appending to its answer, and
// whether a copy made during that read is captured.
void measureAppendingOwner(X11Pasteboard &pasteboard);
// The GUI's longest event-loop gap while 60 MULTIPLE requests of 512 pairs are served.
void measureMultipleFlood(X11Pasteboard &pasteboard);
// The GUI's longest event-loop gap, the history and memory while an owner takes the clipboard a
// thousand times a second.
void measureOwnershipFlood(X11Pasteboard &pasteboard);

} // namespace tessary::bench
