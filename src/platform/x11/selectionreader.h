#pragma once

#include "propertyanswer.h"
#include "xcbsupport.h"

#include <QByteArray>
#include <array>
#include <atomic>
#include <chrono>
#include <optional>

namespace tessary::x11 {

// Reads the CLIPBOARD selection over a connection of its own. Every call blocks (the owner is
// another process and may be slow or hung), so it belongs on a reader thread; only shutDown()
// may be called from elsewhere.
//
// A content is read as a series of conversions that share one fate: when one of them stalls,
// grows too large, or the clipboard changes hands meanwhile, the content counts as gone and
// every later conversion answers nothing at once.
class SelectionReader {
public:
    struct Limits {
        std::chrono::milliseconds stallTimeout{2000}; // without any progress
        qint64 maxBytes = qint64(256) << 20;
    };

    explicit SelectionReader(const QByteArray &displayName, Limits limits);
    ~SelectionReader();
    SelectionReader(const SelectionReader &) = delete;
    SelectionReader &operator=(const SelectionReader &) = delete;

    bool isConnected() const { return m_xfixesEvent >= 0; }
    const Atoms &atoms() const { return m_atoms; }

    // Starts on the content on offer now. False when nobody owns the clipboard.
    bool beginContent();
    // The bytes of one target, or nothing when the owner refuses it or the content is gone.
    std::optional<QByteArray> read(xcb_atom_t target);
    // The TARGETS list, or nothing when the owner does not answer it.
    std::optional<QList<xcb_atom_t>> targets();
    bool isContentGone() const { return m_gone; }

    // Thread-safe: ends the wait in progress and makes every later read answer nothing.
    void shutDown();

private:
    using Clock = std::chrono::steady_clock;
    bool isOwnerChange(const xcb_generic_event_t *event) const;
    // False once the content is gone: shut down, disconnected, or the clipboard changed hands.
    bool keepReading();
    template <typename Predicate> EventPtr waitFor(Predicate matches);
    std::optional<QByteArray> readProperty(PropertyAnswer &answer);
    std::optional<QByteArray> readIncrementally(PropertyAnswer &answer);
    void drainEvents();
    bool abandon();

    Limits m_limits;
    xcb_connection_t *m_connection = nullptr;
    Atoms m_atoms;
    xcb_window_t m_window = XCB_NONE;
    std::array<xcb_atom_t, 8> m_properties{};
    xcb_atom_t m_property = XCB_NONE; // of the conversion in progress
    quint32 m_conversions = 0;
    int m_xfixesEvent = -1;
    int m_wakeFd = -1;
    std::atomic<bool> m_shutDown{false};
    bool m_gone = true;
};

} // namespace tessary::x11
