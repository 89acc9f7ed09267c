#include "selectionowner.h"

#include "platform/formats/mimecontent.h"

#include <QLoggingCategory>
#include <algorithm>

namespace tessary::x11 {

Q_LOGGING_CATEGORY(lcOwner, "tessary.x11.owner", QtInfoMsg)

namespace {
constexpr int kStallTimeoutMs = 5000;
// Incremental transfers under way at once; requests beyond are refused until some end.
constexpr std::size_t kMaxTransfers = 64;
} // namespace

SelectionOwner::SelectionOwner(xcb_connection_t *connection, const Atoms &atoms,
                               xcb_window_t window)
    : m_connection(connection), m_atoms(atoms), m_window(window),
      m_incrementSize(std::min<quint32>(maxPropertyBytes(connection), 1u << 20))
{
    m_stallCheck.setInterval(1000);
    QObject::connect(&m_stallCheck, &QTimer::timeout, [this] { dropStalledTransfers(); });
}

void SelectionOwner::offer(const Payload &payload, xcb_timestamp_t ownedSince)
{
    m_ownedSince = ownedSince;
    // The same payload offered again (the clipboard restored after its owner quit) keeps what
    // was encoded for it: an owner that takes the clipboard and quits in a loop must not make
    // us encode a large text on every restore.
    if (!m_payload || !m_payload->isSharedWith(payload)) {
        m_payload = payload;
        m_encoded = {};
    }
    m_offers.clear();
    for (const OfferedType &offered : offeredTypes(payload)) {
        const xcb_atom_t target = m_atoms.named(offered.mimeType);
        // TEXT asks the owner to pick an encoding; ours is UTF-8.
        const xcb_atom_t type = target == m_atoms.text ? m_atoms.utf8String : target;
        m_offers.push_back({target, type, offered.encoding});
    }
}

void SelectionOwner::clear()
{
    m_offers.clear();
}

QByteArray SelectionOwner::answer(xcb_atom_t target)
{
    const auto offer = std::find_if(m_offers.cbegin(), m_offers.cend(),
                                    [&](const Offer &o) { return o.target == target; });
    return offer == m_offers.cend() ? QByteArray() : encoded(offer->encoding);
}

QByteArray SelectionOwner::encoded(OfferEncoding encoding)
{
    auto it = m_encoded.find(encoding);
    if (it == m_encoded.end())
        it = m_encoded.emplace(encoding, encodeOffered(*m_payload, encoding)).first;
    return it->second;
}

QList<xcb_atom_t> SelectionOwner::offeredTargets() const
{
    QList<xcb_atom_t> targets{m_atoms.targets, m_atoms.timestamp, m_atoms.multiple};
    for (const Offer &offer : m_offers)
        targets.append(offer.target);
    return targets;
}

void SelectionOwner::handleSelectionRequest(const xcb_selection_request_event_t *request)
{
    // Obsolete requestors pass no property; ICCCM says to use the target's name then.
    const xcb_atom_t property = request->property == XCB_NONE ? request->target : request->property;
    const bool current = request->time == XCB_CURRENT_TIME || request->time >= m_ownedSince;
    // One request writes at most one increment's worth at once, however many conversions it
    // asks for: the rest goes incrementally, a piece per deletion of the requestor's property.
    qint64 room = m_incrementSize;
    const bool served = hasOffer() && current && request->selection == m_atoms.clipboard &&
                        convert(request->requestor, request->target, property, room, true);

    // SendEvent always carries 32 bytes, more than the notify structure holds.
    union {
        xcb_selection_notify_event_t notify;
        char bytes[32];
    } event{};
    event.notify.response_type = XCB_SELECTION_NOTIFY;
    event.notify.time = request->time;
    event.notify.requestor = request->requestor;
    event.notify.selection = request->selection;
    event.notify.target = request->target;
    event.notify.property = served ? property : XCB_NONE;
    xcb_send_event(m_connection, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT, event.bytes);
    xcb_flush(m_connection);
}

bool SelectionOwner::convert(xcb_window_t requestor, xcb_atom_t target, xcb_atom_t property,
                             qint64 &room, bool allowMultiple)
{
    if (target == m_atoms.targets) {
        const QList<xcb_atom_t> targets = offeredTargets();
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, requestor, property, XCB_ATOM_ATOM,
                            32, targets.size(), targets.constData());
        return true;
    }
    if (target == m_atoms.timestamp) {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, requestor, property,
                            XCB_ATOM_INTEGER, 32, 1, &m_ownedSince);
        return true;
    }
    if (target == m_atoms.multiple)
        return allowMultiple && convertMultiple(requestor, property, room);
    const auto offer = std::find_if(m_offers.cbegin(), m_offers.cend(),
                                    [&](const Offer &o) { return o.target == target; });
    return offer != m_offers.cend() && send(requestor, property, *offer, room);
}

bool SelectionOwner::convertMultiple(xcb_window_t requestor, xcb_atom_t property, qint64 &room)
{
    // The requestor lists (target, property) pairs; each one we cannot serve is answered by
    // setting its property to None. ICCCM lets any of them go incrementally.
    XcbPtr<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, 0, requestor, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024),
        nullptr));
    if (!reply || reply->format != 32)
        return false;
    auto pairs = static_cast<xcb_atom_t *>(xcb_get_property_value(reply.get()));
    const int count = xcb_get_property_value_length(reply.get()) / 4;
    for (int i = 0; i + 1 < count; i += 2) {
        if (!convert(requestor, pairs[i], pairs[i + 1], room, false))
            pairs[i + 1] = XCB_NONE;
    }
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, requestor, property, m_atoms.atomPair,
                        32, count, pairs);
    return true;
}

bool SelectionOwner::send(xcb_window_t requestor, xcb_atom_t property, const Offer &offer,
                          qint64 &room)
{
    const QByteArray data = encoded(offer.encoding);
    if (data.size() <= room) {
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, requestor, property, offer.type, 8,
                            data.size(), data.constData());
        room -= data.size();
        m_bytesWritten += data.size();
        return true;
    }
    // A requestor that asks again on the same property has given up on the transfer there.
    const auto previous = std::find_if(m_transfers.begin(), m_transfers.end(), [&](const auto &t) {
        return t.requestor == requestor && t.property == property;
    });
    if (previous != m_transfers.end())
        m_transfers.erase(previous);
    else if (m_transfers.size() >= kMaxTransfers)
        return false;
    // The requestor deletes the INCR property to ask for the first piece; we learn of each
    // deletion through PropertyNotify on its window.
    const quint32 events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(m_connection, requestor, XCB_CW_EVENT_MASK, &events);
    const quint32 size = static_cast<quint32>(data.size());
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, requestor, property, m_atoms.incr, 32,
                        1, &size);
    Transfer transfer{requestor, property, offer.type, data, 0, {}};
    transfer.sinceProgress.start();
    m_transfers.push_back(std::move(transfer));
    m_stallCheck.start();
    return true;
}

bool SelectionOwner::handlePropertyNotify(const xcb_property_notify_event_t *event)
{
    if (event->state != XCB_PROPERTY_DELETE)
        return false;
    const auto it = std::find_if(m_transfers.begin(), m_transfers.end(), [&](const Transfer &t) {
        return t.requestor == event->window && t.property == event->atom;
    });
    if (it == m_transfers.end())
        return false;
    const qsizetype length = std::min<qsizetype>(m_incrementSize, it->data.size() - it->sent);
    // The last, empty piece tells the requestor the transfer is complete.
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, it->requestor, it->property, it->type,
                        8, length, it->data.constData() + it->sent);
    xcb_flush(m_connection);
    m_bytesWritten += length;
    it->sent += length;
    it->sinceProgress.restart();
    if (length == 0)
        finishTransfer(std::distance(m_transfers.begin(), it));
    return true;
}

void SelectionOwner::finishTransfer(std::size_t index)
{
    const xcb_window_t requestor = m_transfers[index].requestor;
    m_transfers.erase(m_transfers.begin() + index);
    const bool stillInUse =
        std::any_of(m_transfers.cbegin(), m_transfers.cend(),
                    [&](const Transfer &t) { return t.requestor == requestor; });
    if (!stillInUse) {
        const quint32 none = XCB_EVENT_MASK_NO_EVENT;
        xcb_change_window_attributes(m_connection, requestor, XCB_CW_EVENT_MASK, &none);
        xcb_flush(m_connection);
    }
    if (m_transfers.empty())
        m_stallCheck.stop();
}

void SelectionOwner::dropStalledTransfers()
{
    for (std::size_t i = m_transfers.size(); i-- > 0;) {
        if (m_transfers[i].sinceProgress.hasExpired(kStallTimeoutMs)) {
            qCDebug(lcOwner) << "dropping a stalled transfer to" << m_transfers[i].requestor;
            finishTransfer(i);
        }
    }
}

} // namespace tessary::x11
