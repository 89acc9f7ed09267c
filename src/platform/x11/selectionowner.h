#pragma once

#include "core/entry.h"
#include "platform/formats/mimecontent.h"
#include "xcbsupport.h"

#include <QElapsedTimer>
#include <QTimer>
#include <map>
#include <optional>
#include <vector>

namespace tessary::x11 {

// Serves CLIPBOARD requests for a payload this process put there. Event-driven: the connection's
// owner hands it the events addressed to the owning window and to requestors' property
// changes; nothing here waits for another client.
class SelectionOwner {
public:
    SelectionOwner(xcb_connection_t *connection, const Atoms &atoms, xcb_window_t window);

    // The representations offered from now on; ownership itself is taken by the caller. Each
    // is encoded when first asked for, once per payload.
    void offer(const Payload &payload, xcb_timestamp_t ownedSince);
    // Another client owns the clipboard now.
    void clear();
    bool hasOffer() const { return !m_offers.empty(); }
    // Target names on offer, for logging and tests.
    QList<xcb_atom_t> offeredTargets() const;
    // The bytes a request for the target gets; empty for a target not on offer.
    QByteArray answer(xcb_atom_t target);

    void handleSelectionRequest(const xcb_selection_request_event_t *request);
    // True when the event belonged to an incremental transfer.
    bool handlePropertyNotify(const xcb_property_notify_event_t *event);

    // Pieces of larger payloads go out one at a time (ICCCM INCR).
    void setIncrementSize(quint32 bytes) { m_incrementSize = bytes; }
    // Bytes of answers written so far; serving is synchronous, so the caller bounds the work
    // of one event-loop turn with this.
    qint64 bytesWritten() const { return m_bytesWritten; }

private:
    struct Offer {
        xcb_atom_t target;
        xcb_atom_t type;
        OfferEncoding encoding;
    };
    struct Transfer {
        xcb_window_t requestor;
        xcb_atom_t property;
        xcb_atom_t type;
        QByteArray data;
        qsizetype sent = 0;
        QElapsedTimer sinceProgress;
    };

    QByteArray encoded(OfferEncoding encoding);
    // Each writes at most `room` bytes at once and takes what it wrote from it.
    bool convert(xcb_window_t requestor, xcb_atom_t target, xcb_atom_t property, qint64 &room,
                 bool allowMultiple);
    bool convertMultiple(xcb_window_t requestor, xcb_atom_t property, qint64 &room);
    bool send(xcb_window_t requestor, xcb_atom_t property, const Offer &offer, qint64 &room);
    void finishTransfer(std::size_t index);
    void dropStalledTransfers();

    xcb_connection_t *m_connection;
    const Atoms &m_atoms;
    xcb_window_t m_window;
    xcb_timestamp_t m_ownedSince = XCB_CURRENT_TIME;
    std::vector<Offer> m_offers;
    // What was last offered and its encodings so far; kept when another client takes the
    // clipboard, for the restore that follows when that client quits.
    std::optional<Payload> m_payload;
    std::map<OfferEncoding, QByteArray> m_encoded;
    std::vector<Transfer> m_transfers;
    quint32 m_incrementSize;
    qint64 m_bytesWritten = 0;
    QTimer m_stallCheck;
};

} // namespace tessary::x11
