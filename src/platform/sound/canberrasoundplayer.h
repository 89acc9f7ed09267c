#pragma once

#include "core/services.h"

#include <QThreadPool>
#include <atomic>
#include <memory>

struct ca_context;

namespace tessary {

// Event sounds from the freedesktop sound theme, played through libcanberra. The context is
// opened on first use, on a worker thread of its own: opening it talks to the sound server,
// which may be slow or absent, and a copy must never wait for that. Every failure (no server,
// no such sound) is skipped silently.
class CanberraSoundPlayer : public SoundPlayer {
public:
    CanberraSoundPlayer();
    ~CanberraSoundPlayer() override;

    void playCopyConfirmation() override;
    void playErrorBeep() override;

    // Blocks until the requests made so far have been handed to the sound server. For tests.
    void waitForRequests();
    // libcanberra's result of the last request (0 is success), for tests and logging.
    int lastResult() const { return m_lastResult.load(); }

    // Sound theme event names and volumes (in dB, as libcanberra takes them).
    static constexpr const char *kConfirmationEvent = "complete";
    static constexpr const char *kConfirmationVolume = "-8"; // 0.4 of full amplitude
    static constexpr const char *kErrorEvent = "bell";

private:
    void play(const char *eventId, const char *description, const char *volume);
    ca_context *context(); // worker thread only

    QThreadPool m_worker;
    ca_context *m_context = nullptr;
    bool m_contextFailed = false;
    std::atomic<int> m_lastResult{0};
};

} // namespace tessary
