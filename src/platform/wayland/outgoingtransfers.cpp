#include "outgoingtransfers.h"

#include <QLoggingCategory>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tessary::wayland {

Q_LOGGING_CATEGORY(lcTransfers, "tessary.wayland.transfers", QtInfoMsg)

OutgoingTransfers::~OutgoingTransfers()
{
    for (const Transfer &transfer : m_transfers)
        close(transfer.fd);
}

void OutgoingTransfers::start(int fd, QByteArray data)
{
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    Transfer transfer{fd, std::move(data), 0, {}};
    transfer.sinceProgress.start();
    if (writeSome(transfer))
        m_transfers.push_back(std::move(transfer));
    else
        close(fd);
}

void OutgoingTransfers::addPollFds(std::vector<pollfd> &fds) const
{
    for (const Transfer &transfer : m_transfers)
        fds.push_back({transfer.fd, POLLOUT, 0});
}

void OutgoingTransfers::serve()
{
    const auto over = [this](Transfer &transfer) {
        if (writeSome(transfer) && !transfer.sinceProgress.hasExpired(m_stallTimeout.count()))
            return false;
        close(transfer.fd);
        return true;
    };
    m_transfers.erase(std::remove_if(m_transfers.begin(), m_transfers.end(), over),
                      m_transfers.end());
}

bool OutgoingTransfers::writeSome(Transfer &transfer)
{
    while (transfer.sent < transfer.data.size()) {
        const ssize_t written = ::write(transfer.fd, transfer.data.constData() + transfer.sent,
                                        transfer.data.size() - transfer.sent);
        if (written > 0) {
            transfer.sent += written;
            transfer.sinceProgress.restart();
        } else if (written < 0 && errno == EAGAIN) {
            return true;
        } else if (written < 0 && errno != EINTR) {
            // EPIPE: the receiver closed its end early (SIGPIPE is ignored).
            qCDebug(lcTransfers) << "receiver gone:" << strerror(errno);
            return false;
        }
    }
    return false;
}

} // namespace tessary::wayland
