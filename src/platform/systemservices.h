#pragma once

#include "core/services.h"

#include <memory>

namespace tessary {

// The clipboard backend for the session we run in, picked once at start: X11 when the
// session has an X server (also XWayland), else a clipboard private to this process.
std::unique_ptr<Pasteboard> createSystemPasteboard();
// Event sounds through the desktop's sound theme.
std::unique_ptr<SoundPlayer> createSoundPlayer();

} // namespace tessary
