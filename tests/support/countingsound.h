#pragma once

// A sound player for tests: plays nothing, counts what it was asked to play. Header only, so the
// core tests, which link no other test support, use it too.

#include "core/services.h"

namespace tessary::testing {

class CountingSound : public SoundPlayer {
public:
    void playCopyConfirmation() override { ++confirmations; }
    void playErrorBeep() override { ++beeps; }
    int confirmations = 0;
    int beeps = 0;
};

} // namespace tessary::testing
