#pragma once

#include "core/services.h"
#include "datacontrol.h"
#include "offerreader.h"
#include "outgoingtransfers.h"
#include "platform/formats/mimecontent.h"

#include <QPromise>
#include <atomic>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <variant>

namespace tessary::wayland {

// One connection to the compositor and everything on it: the seat's data-control device, the
// offer on the clipboard now, our own sources and their transfers, and captures. Built on any
// thread; from then on run() owns it on a worker thread of its own, and only the thread-safe
// members below are called from elsewhere.
//
// The worker waits in one place only. Reads from a slow owner wait there too, so the connection,
// our transfers and copy backs are served all along, and a newer selection ends the read.
class DataControlSession {
public:
    struct Options {
        QByteArray displayName; // empty: $WAYLAND_DISPLAY
        const DataControlProtocol *protocol = &kExtDataControl;
        OfferReader::Limits limits{};
    };
    using Promise = std::shared_ptr<QPromise<std::optional<Payload>>>;

    explicit DataControlSession(const Options &options);
    ~DataControlSession();
    DataControlSession(const DataControlSession &) = delete;
    DataControlSession &operator=(const DataControlSession &) = delete;

    // Connected, with a data-control device for a seat.
    bool isReady() const { return m_device != nullptr; }

    // Called on the worker thread; set before run().
    std::function<void()> onCountMoved;   // by another client's selection, after the count moved
    std::function<void()> onContentsLost; // a foreign selection went away with its source
    std::function<void()> onDisplayLost;  // once; run() returns after it

    // The worker's loop, until stop() or the connection is lost.
    void run();

    // Thread-safe.
    void stop();
    void capture(Promise promise);
    void setSelection(Payload payload);
    // As setSelection(), once the foreign selection's source went away (onContentsLost), unless
    // a selection has come since: that one is newer and stays. Tells whether it set it.
    bool restoreSelection(Payload payload);
    qint64 changeCount() const { return m_changeCount.load(); }
    bool ownsSelection() const { return m_ownsSelection.load(); }
    bool isConnected() const { return m_connected.load(); }

private:
    struct Offer;
    struct Source;
    struct CaptureRequest {
        quint64 ticket;
        Promise promise;
    };
    struct Restore {
        Payload payload;
    };
    using Command = std::variant<CaptureRequest, Payload, Restore>;

    static const ext_data_control_device_v1_listener kDeviceListener;
    static const ext_data_control_offer_v1_listener kOfferListener;
    static const ext_data_control_source_v1_listener kSourceListener;

    bool connectToCompositor(const Options &options);
    bool wait(int fd, int timeoutMs);
    void loseConnection();
    void runCommands(bool capturesToo);
    void post(Command command);
    std::optional<Payload> readSelection(quint64 ticket);
    void takeSelection(const Payload &payload);
    void handleSelection(DataControlOffer *offer);
    void handleSend(Source *source, const char *mimeType, int fd);
    void dropOffer(Offer *offer);
    void dropSource(Source *source);
    bool isOurs(const Offer *offer) const;

    OfferReader::Limits m_limits;
    const DataControlProtocol *m_protocol;
    // Marks our own offers, so that they are never counted or read.
    const QByteArray m_marker;
    wl_display *m_display = nullptr;
    wl_registry *m_registry = nullptr;
    wl_seat *m_seat = nullptr;
    DataControlManager *m_manager = nullptr;
    DataControlDevice *m_device = nullptr;
    int m_wakeFd = -1;

    // Worker state.
    std::vector<std::unique_ptr<Offer>> m_offers;
    Offer *m_selection = nullptr;
    quint64 m_selectionSerial = 0;
    bool m_sawFirstSelection = false;
    std::vector<std::unique_ptr<Source>> m_sources;
    Source *m_currentSource = nullptr;
    OutgoingTransfers m_transfers;

    // Shared with other threads.
    std::atomic<qint64> m_changeCount{0};
    std::atomic<qint64> m_countWhenEmptied{-1}; // when a foreign selection last went away
    std::atomic<bool> m_ownsSelection{false};
    std::atomic<bool> m_connected{false};
    std::atomic<bool> m_stopping{false};
    std::atomic<quint64> m_newestCapture{0};
    std::mutex m_mutex;
    std::deque<Command> m_commands; // guarded by m_mutex
    bool m_closed = false;          // guarded by m_mutex: no command is run any more
};

} // namespace tessary::wayland
