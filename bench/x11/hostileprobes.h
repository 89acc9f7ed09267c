#pragma once

namespace tessary {
class X11Pasteboard;
}

namespace tessary::bench {

// Capture time, peak memory and outcome for an owner that keeps appending to its answer, and
// whether a copy made during that read is captured.
void measureAppendingOwner(X11Pasteboard &pasteboard);
// For a TIFF of millions of strips, long non-ASCII texts and a short copy after them, each
// taken in by the monitor: the time to its entry and the GUI's longest event-loop gap meanwhile.
void measureCostlyCopies(X11Pasteboard &pasteboard);
// The GUI's longest event-loop gap while 60 MULTIPLE requests of 512 pairs are served.
void measureMultipleFlood(X11Pasteboard &pasteboard);
// The GUI's longest event-loop gap, the history and memory while an owner takes the clipboard a
// thousand times a second.
void measureOwnershipFlood(X11Pasteboard &pasteboard);

} // namespace tessary::bench
