#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <chrono>
#include <poll.h>
#include <vector>

namespace tessary::wayland {

// Our data on its way into receivers' pipes. Nothing here blocks: each write goes as far as
// the pipe takes it and continues when there is room. A receiver that closes early or stops
// reading costs its transfer and nothing else.
class OutgoingTransfers {
public:
    explicit OutgoingTransfers(std::chrono::milliseconds stallTimeout)
        : m_stallTimeout(stallTimeout)
    {}
    ~OutgoingTransfers();
    OutgoingTransfers(const OutgoingTransfers &) = delete;
    OutgoingTransfers &operator=(const OutgoingTransfers &) = delete;

    // Takes the fd; the data is shared, not copied.
    void start(int fd, QByteArray data);
    // Watches every unfinished transfer for room in its pipe.
    void addPollFds(std::vector<pollfd> &fds) const;
    // Writes what the pipes take now; drops finished, failed and stalled transfers.
    void serve();
    bool isEmpty() const { return m_transfers.empty(); }

private:
    struct Transfer {
        int fd;
        QByteArray data;
        qsizetype sent;
        QElapsedTimer sinceProgress;
    };
    // False when the transfer is over, one way or another.
    static bool writeSome(Transfer &transfer);

    std::chrono::milliseconds m_stallTimeout;
    std::vector<Transfer> m_transfers;
};

} // namespace tessary::wayland
