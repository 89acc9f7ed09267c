#include "datacontrolsession.h"


#include <QLoggingCategory>
#include <cerrno>
#include <cstring>
#include <sys/eventfd.h>
#include <unistd.h>

namespace tessary::wayland {

Q_LOGGING_CATEGORY(lcWayland, "tessary.wayland", QtInfoMsg)

namespace {

// A receiver that takes nothing for this long is dropped.
constexpr std::chrono::milliseconds kSendStallTimeout{5000};

QByteArray uniqueMarker()
{
    static std::atomic<int> sessions{0};
    return "application/x-tessary-owner-" + QByteArray::number(getpid()) + '-' +
           QByteArray::number(++sessions);
}

template <typename T> wl_proxy *proxy(T *object)
{
    return reinterpret_cast<wl_proxy *>(object);
}

} // namespace

struct DataControlSession::Offer {
    DataControlOffer *proxy;
    QList<QByteArray> mimeTypes;
};

struct DataControlSession::Source {
    DataControlSession *session;
    DataControlSource *proxy;
    QList<Representation> representations;
};

const ext_data_control_offer_v1_listener DataControlSession::kOfferListener = {
    .offer = [](void *data, DataControlOffer *,
                const char *mimeType) { static_cast<Offer *>(data)->mimeTypes.append(mimeType); },
};

const ext_data_control_device_v1_listener DataControlSession::kDeviceListener = {
    .data_offer =
        [](void *data, DataControlDevice *, DataControlOffer *offer) {
            auto *session = static_cast<DataControlSession *>(data);
            session->m_offers.push_back(std::make_unique<Offer>(Offer{offer, {}}));
            ext_data_control_offer_v1_add_listener(offer, &kOfferListener,
                                                   session->m_offers.back().get());
        },
    .selection =
        [](void *data, DataControlDevice *, DataControlOffer *offer) {
            static_cast<DataControlSession *>(data)->handleSelection(offer);
        },
    .finished =
        [](void *data, DataControlDevice *) {
            static_cast<DataControlSession *>(data)->loseConnection();
        },
    .primary_selection =
        [](void *data, DataControlDevice *, DataControlOffer *offer) {
            // Selected text is not a copy: its offers are dropped unread.
            if (offer) {
                auto *session = static_cast<DataControlSession *>(data);
                session->dropOffer(static_cast<Offer *>(wl_proxy_get_user_data(proxy(offer))));
            }
        },
};

const ext_data_control_source_v1_listener DataControlSession::kSourceListener = {
    .send =
        [](void *data, DataControlSource *, const char *mimeType, int fd) {
            auto *source = static_cast<Source *>(data);
            source->session->handleSend(source, mimeType, fd);
        },
    .cancelled =
        [](void *data, DataControlSource *) {
            auto *source = static_cast<Source *>(data);
            source->session->dropSource(source);
        },
};

DataControlSession::DataControlSession(const Options &options)
    : m_limits(options.limits), m_protocol(options.protocol), m_marker(uniqueMarker()),
      m_wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)), m_transfers(kSendStallTimeout)
{
    m_connected = connectToCompositor(options);
}

bool DataControlSession::connectToCompositor(const Options &options)
{
    const QByteArray &name = options.displayName;
    m_display = wl_display_connect(name.isEmpty() ? nullptr : name.constData());
    if (!m_display)
        return false;
    struct Globals {
        DataControlSession *session;
        uint32_t seat = 0, manager = 0, managerVersion = 0;
    } globals{this};
    static const wl_registry_listener registryListener = {
        .global =
            [](void *data, wl_registry *, uint32_t name, const char *interface, uint32_t version) {
                auto *found = static_cast<Globals *>(data);
                if (!found)
                    return;
                if (std::strcmp(interface, wl_seat_interface.name) == 0 && !found->seat)
                    found->seat = name;
                if (std::strcmp(interface, found->session->m_protocol->managerName) == 0)
                    found->manager = name, found->managerVersion = version;
            },
        .global_remove = [](void *, wl_registry *, uint32_t) {},
    };
    m_registry = wl_display_get_registry(m_display);
    wl_registry_add_listener(m_registry, &registryListener, &globals);
    if (wl_display_roundtrip(m_display) < 0 || !globals.seat || !globals.manager)
        return false;
    // Nothing more is wanted of the registry; its later events find no listener data.
    wl_proxy_set_user_data(proxy(m_registry), nullptr);
    m_seat =
        static_cast<wl_seat *>(wl_registry_bind(m_registry, globals.seat, &wl_seat_interface, 1));
    m_manager = bindManager(m_registry, globals.manager, globals.managerVersion, *m_protocol);
    m_device = getDevice(m_manager, m_seat, *m_protocol);
    ext_data_control_device_v1_add_listener(m_device, &kDeviceListener, this);
    // The first selection event, the state at start, arrives with this round trip.
    return wl_display_roundtrip(m_display) >= 0;
}

DataControlSession::~DataControlSession()
{
    for (const std::unique_ptr<Offer> &offer : m_offers)
        ext_data_control_offer_v1_destroy(offer->proxy);
    for (const std::unique_ptr<Source> &source : m_sources)
        ext_data_control_source_v1_destroy(source->proxy);
    if (m_device)
        ext_data_control_device_v1_destroy(m_device);
    if (m_manager)
        ext_data_control_manager_v1_destroy(m_manager);
    if (m_seat)
        wl_seat_destroy(m_seat);
    if (m_registry)
        wl_registry_destroy(m_registry);
    if (m_display)
        wl_display_disconnect(m_display);
    if (m_wakeFd >= 0)
        close(m_wakeFd);
}

void DataControlSession::run()
{
    while (isConnected() && !m_stopping) {
        runCommands(true);
        if (!wait(-1, -1))
            break;
    }
    // Captures still queued finish with nothing; none is accepted from now on.
    std::deque<Command> left;
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        left.swap(m_commands);
    }
    for (Command &command : left) {
        if (auto *request = std::get_if<CaptureRequest>(&command)) {
            request->promise->addResult(std::nullopt);
            request->promise->finish();
        }
    }
}

void DataControlSession::stop()
{
    m_stopping = true;
    const quint64 one = 1;
    [[maybe_unused]] auto written = write(m_wakeFd, &one, sizeof one);
}

bool DataControlSession::wait(int fd, int timeoutMs)
{
    if (!isConnected())
        return false;
    while (wl_display_prepare_read(m_display) != 0) {
        if (wl_display_dispatch_pending(m_display) < 0)
            return loseConnection(), false;
    }
    // A full socket is flushed further once it has room.
    const bool flushed = wl_display_flush(m_display) >= 0 || errno == EAGAIN;
    std::vector<pollfd> fds{
        {wl_display_get_fd(m_display), short(POLLIN | (flushed ? 0 : POLLOUT)), 0},
        {m_wakeFd, POLLIN, 0},
        {fd, POLLIN, 0}, // ignored when negative
    };
    m_transfers.addPollFds(fds);
    // Stalled transfers are looked for once a second.
    const int timeout =
        m_transfers.isEmpty() ? timeoutMs : (timeoutMs < 0 ? 1000 : std::min(timeoutMs, 1000));
    if (poll(fds.data(), fds.size(), timeout) < 0 && errno != EINTR) {
        wl_display_cancel_read(m_display);
        return loseConnection(), false;
    }
    if (fds[0].revents) {
        if (wl_display_read_events(m_display) < 0)
            return loseConnection(), false;
    } else {
        wl_display_cancel_read(m_display);
    }
    if (wl_display_dispatch_pending(m_display) < 0)
        return loseConnection(), false;
    if (fds[1].revents) {
        quint64 count;
        [[maybe_unused]] auto read = ::read(m_wakeFd, &count, sizeof count);
    }
    // Copy backs go out at once, even while a read is under way.
    runCommands(false);
    m_transfers.serve();
    return isConnected() && !m_stopping;
}

void DataControlSession::loseConnection()
{
    if (!m_connected.exchange(false))
        return;
    if (const int error = wl_display_get_error(m_display))
        qCWarning(lcWayland).nospace()
            << "lost the connection to the Wayland compositor (" << strerror(error) << ")";
    else
        qCWarning(lcWayland) << "the Wayland compositor withdrew clipboard access";
    if (onDisplayLost)
        onDisplayLost();
}

void DataControlSession::post(Command command)
{
    {
        std::lock_guard lock(m_mutex);
        if (!m_closed) {
            m_commands.push_back(std::move(command));
            command = {};
        }
    }
    if (auto *request = std::get_if<CaptureRequest>(&command); request && request->promise) {
        request->promise->addResult(std::nullopt); // the worker has ended
        request->promise->finish();
    }
    const quint64 one = 1;
    [[maybe_unused]] auto written = write(m_wakeFd, &one, sizeof one);
}

void DataControlSession::capture(Promise promise)
{
    post(CaptureRequest{++m_newestCapture, std::move(promise)});
}

void DataControlSession::setSelection(Payload payload)
{
    // Counted now, so that the caller can adopt the count at once; the selection event that
    // follows carries our marker and is not counted again.
    if (!isConnected())
        return;
    ++m_changeCount;
    m_ownsSelection = true;
    post(std::move(payload));
}

bool DataControlSession::restoreSelection(Payload payload)
{
    // Counted as setSelection() counts, but only if nothing has moved the count since the
    // clipboard was emptied; in one step, as the worker may count a new selection meanwhile.
    qint64 emptied = m_countWhenEmptied.load();
    if (!isConnected() || !m_changeCount.compare_exchange_strong(emptied, emptied + 1))
        return false;
    m_ownsSelection = true;
    post(Restore{std::move(payload)});
    return true;
}

void DataControlSession::runCommands(bool capturesToo)
{
    for (;;) {
        std::unique_lock lock(m_mutex);
        const auto next = std::find_if(m_commands.begin(), m_commands.end(), [&](const Command &c) {
            return capturesToo || !std::holds_alternative<CaptureRequest>(c);
        });
        if (next == m_commands.end())
            return;
        Command command = std::move(*next);
        m_commands.erase(next);
        lock.unlock();
        if (const auto *payload = std::get_if<Payload>(&command)) {
            takeSelection(*payload);
            continue;
        }
        if (const auto *restore = std::get_if<Restore>(&command)) {
            // What the compositor sent until now is read first: a selection set since the
            // clipboard was emptied is newer; it is counted, and stays.
            if (wl_display_roundtrip(m_display) < 0)
                return loseConnection();
            if (m_selection && !isOurs(m_selection))
                m_ownsSelection = false;
            else
                takeSelection(restore->payload);
            continue;
        }
        auto &request = std::get<CaptureRequest>(command);
        // Captures queued behind a slow one are stale but for the newest.
        std::optional<Payload> payload;
        if (request.ticket == m_newestCapture.load())
            payload = readSelection(request.ticket);
        request.promise->addResult(std::move(payload));
        request.promise->finish();
    }
}

std::optional<Payload> DataControlSession::readSelection(quint64 ticket)
{
    if (!m_selection || isOurs(m_selection))
        return std::nullopt;
    const quint64 serial = m_selectionSerial;
    OfferReader reader(m_selection->proxy, m_limits,
                       [this, serial, ticket](int fd, std::chrono::milliseconds timeout) {
                           return wait(fd, int(timeout.count())) && serial == m_selectionSerial &&
                                  ticket == m_newestCapture.load();
                       });
    return captureOffered(
        m_selection->mimeTypes,
        [&reader](const QByteArray &mimeType) { return reader.read(mimeType); },
        [&reader] { return reader.isContentGone(); });
}

void DataControlSession::takeSelection(const Payload &payload)
{
    if (!isConnected())
        return;
    auto source = std::make_unique<Source>(
        Source{this, createSource(m_manager, *m_protocol), representationsOf(payload)});
    ext_data_control_source_v1_add_listener(source->proxy, &kSourceListener, source.get());
    for (const Representation &representation : source->representations)
        ext_data_control_source_v1_offer(source->proxy, representation.mimeType.constData());
    ext_data_control_source_v1_offer(source->proxy, m_marker.constData());
    ext_data_control_device_v1_set_selection(m_device, source->proxy);
    m_currentSource = source.get();
    m_ownsSelection = true;
    m_sources.push_back(std::move(source));
}

void DataControlSession::handleSelection(DataControlOffer *offer)
{
    const bool hadForeignContent = m_selection && !isOurs(m_selection);
    dropOffer(m_selection);
    m_selection = offer ? static_cast<Offer *>(wl_proxy_get_user_data(proxy(offer))) : nullptr;
    ++m_selectionSerial;
    // The first event after binding tells what was on the clipboard at start: no change.
    if (!std::exchange(m_sawFirstSelection, true))
        return;
    if (m_selection && isOurs(m_selection))
        return;
    const qint64 count = ++m_changeCount;
    if (onCountMoved)
        onCountMoved();
    // An empty clipboard after a foreign one: its source went away. (One after ours was emptied
    // on purpose by another client, and is left so.)
    if (!m_selection && hadForeignContent && onContentsLost) {
        m_countWhenEmptied = count;
        onContentsLost();
    }
}

void DataControlSession::handleSend(Source *source, const char *mimeType, int fd)
{
    const auto &representations = source->representations;
    const auto it = std::find_if(representations.cbegin(), representations.cend(),
                                 [&](const Representation &r) { return r.mimeType == mimeType; });
    if (it == representations.cend()) {
        close(fd);
        return;
    }
    m_transfers.start(fd, it->data);
}

void DataControlSession::dropOffer(Offer *offer)
{
    if (!offer)
        return;
    if (offer == m_selection)
        m_selection = nullptr;
    ext_data_control_offer_v1_destroy(offer->proxy);
    std::erase_if(m_offers, [offer](const std::unique_ptr<Offer> &o) { return o.get() == offer; });
}

void DataControlSession::dropSource(Source *source)
{
    if (source == m_currentSource) {
        m_currentSource = nullptr;
        m_ownsSelection = false;
    }
    ext_data_control_source_v1_destroy(source->proxy);
    std::erase_if(m_sources,
                  [source](const std::unique_ptr<Source> &s) { return s.get() == source; });
}

bool DataControlSession::isOurs(const Offer *offer) const
{
    return offer->mimeTypes.contains(m_marker);
}

} // namespace tessary::wayland
