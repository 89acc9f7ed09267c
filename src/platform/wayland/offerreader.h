#pragma once

#include "datacontrol.h"

#include <QByteArray>
#include <chrono>
#include <functional>
#include <optional>

namespace tessary::wayland {

// Reads the representations of one offer through pipes. The owner is another process that may
// be slow, hung or endless, so every pipe is non-blocking and waits go through the session's
// one wait, which keeps serving the connection meanwhile.
//
// The representations of an offer share one fate: when one stalls, grows too large, or the
// offer is superseded, the content counts as gone and every later read answers nothing at once
// (the offer itself is never touched again).
class OfferReader {
public:
    struct Limits {
        std::chrono::milliseconds stallTimeout{2000}; // without any progress
        qint64 maxBytes = qint64(256) << 20;
    };
    // Waits until the fd is readable or the time is up. False when the offer is superseded or
    // the connection is gone: the read stops there.
    using Wait = std::function<bool(int fd, std::chrono::milliseconds timeout)>;

    OfferReader(DataControlOffer *offer, Limits limits, Wait wait);

    // The bytes of one MIME type, or nothing when the content is gone.
    std::optional<QByteArray> read(const QByteArray &mimeType);
    bool isContentGone() const { return m_gone; }

private:
    std::optional<QByteArray> readPipe(int fd);

    DataControlOffer *m_offer;
    Limits m_limits;
    Wait m_wait;
    bool m_gone = false;
};

} // namespace tessary::wayland
