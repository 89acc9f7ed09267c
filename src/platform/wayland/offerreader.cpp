#include "offerreader.h"

#include <QLoggingCategory>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tessary::wayland {

Q_LOGGING_CATEGORY(lcReader, "tessary.wayland.reader", QtInfoMsg)

namespace {

using Clock = std::chrono::steady_clock;

// A larger pipe means fewer wake-ups for large images; the default is a fallback.
constexpr int kPipeBytes = 1 << 20;
constexpr qsizetype kChunkBytes = 1 << 20;

class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

OfferReader::OfferReader(DataControlOffer *offer, Limits limits, Wait wait)
    : m_offer(offer), m_limits(limits), m_wait(std::move(wait))
{}

std::optional<QByteArray> OfferReader::read(const QByteArray &mimeType)
{
    if (m_gone)
        return std::nullopt;
    int ends[2];
    if (pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        qCWarning(lcReader) << "cannot make a pipe:" << strerror(errno);
        m_gone = true;
        return std::nullopt;
    }
    Fd readEnd(ends[0]);
    fcntl(readEnd.get(), F_SETPIPE_SZ, kPipeBytes);
    // The request holds a duplicate of the write end; the session's wait sends it.
    ext_data_control_offer_v1_receive(m_offer, mimeType.constData(), ends[1]);
    close(ends[1]);
    return readPipe(readEnd.get());
}

std::optional<QByteArray> OfferReader::readPipe(int fd)
{
    QByteArray data;
    auto deadline = Clock::now() + m_limits.stallTimeout;
    for (;;) {
        // Grown by hand: realloc may then move the pages instead of copying them.
        if (data.capacity() - data.size() < kChunkBytes)
            data.reserve(std::max(data.capacity() * 2, data.size() + kChunkBytes));
        const qsizetype before = data.size();
        data.resize(data.capacity());
        const ssize_t count = ::read(fd, data.data() + before, data.size() - before);
        data.resize(before + std::max<ssize_t>(count, 0));
        if (count == 0)
            return data;
        if (count > 0) {
            if (data.size() > m_limits.maxBytes) {
                qCDebug(lcReader) << "abandoning a payload over" << m_limits.maxBytes << "bytes";
                break;
            }
            deadline = Clock::now() + m_limits.stallTimeout;
            continue;
        }
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN) {
            qCDebug(lcReader) << "read failed:" << strerror(errno);
            break;
        }
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            qCDebug(lcReader) << "clipboard owner stalled";
            break;
        }
        if (!m_wait(fd, left)) {
            qCDebug(lcReader) << "clipboard changed during a read";
            break;
        }
    }
    m_gone = true;
    return std::nullopt;
}

} // namespace tessary::wayland
