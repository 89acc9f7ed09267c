#include "systemservices.h"

#include "platform/memory/memorypasteboard.h"

namespace tessary {
namespace {

// Placeholder until the desktop backends exist.
class SilentSoundPlayer : public SoundPlayer {
public:
    void playCopyConfirmation() override {}
    void playErrorBeep() override {}
};

} // namespace

std::unique_ptr<Pasteboard> createSystemPasteboard()
{
    return std::make_unique<MemoryPasteboard>();
}

std::unique_ptr<SoundPlayer> createSoundPlayer()
{
    return std::make_unique<SilentSoundPlayer>();
}

} // namespace tessary
