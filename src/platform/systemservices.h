#pragma once

#include "core/services.h"

#include <memory>

namespace tessary {

// The clipboard backend for the session we run in, picked once at start.
std::unique_ptr<Pasteboard> createSystemPasteboard();
// Event sounds through the desktop's sound theme.
std::unique_ptr<SoundPlayer> createSoundPlayer();

} // namespace tessary
