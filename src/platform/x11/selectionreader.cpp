#include "selectionreader.h"

#include <QLoggingCategory>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <xcb/xfixes.h>

namespace tessary::x11 {

Q_LOGGING_CATEGORY(lcReader, "tessary.x11.reader", QtInfoMsg)

namespace {
QByteArrayView valueOf(const xcb_get_property_reply_t *reply)
{
    return {static_cast<const char *>(xcb_get_property_value(reply)),
            xcb_get_property_value_length(reply)};
}
} // namespace

SelectionReader::SelectionReader(const QByteArray &displayName, Limits limits)
    : m_limits(limits), m_wakeFd(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    m_connection = xcb_connect(displayName.isEmpty() ? nullptr : displayName.constData(), nullptr);
    if (xcb_connection_has_error(m_connection) || !m_atoms.intern(m_connection))
        return;
    for (std::size_t i = 0; i < m_properties.size(); ++i)
        m_properties[i] =
            internAtom(m_connection, ("TESSARY_TRANSFER_" + QByteArray::number(i)).constData());
    m_window = createPrivateWindow(m_connection);
    m_xfixesEvent = watchSelectionOwner(m_connection, m_window, m_atoms.clipboard);
    xcb_flush(m_connection);
}

SelectionReader::~SelectionReader()
{
    xcb_disconnect(m_connection);
    if (m_wakeFd >= 0)
        close(m_wakeFd);
}

void SelectionReader::shutDown()
{
    m_shutDown = true;
    const quint64 one = 1;
    [[maybe_unused]] auto written = write(m_wakeFd, &one, sizeof one);
}

void SelectionReader::drainEvents()
{
    while (EventPtr event{xcb_poll_for_event(m_connection)}) {
    }
}

bool SelectionReader::beginContent()
{
    m_gone = true;
    if (!isConnected() || m_shutDown)
        return false;
    // Ownership changes already reported belong to earlier contents. The owner query is a round
    // trip, so once it is answered every such report is in the queue and can be dropped.
    drainEvents();
    XcbPtr<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        m_connection, xcb_get_selection_owner(m_connection, m_atoms.clipboard), nullptr));
    drainEvents();
    m_gone = !owner || owner->owner == XCB_NONE;
    return !m_gone;
}

bool SelectionReader::abandon()
{
    m_gone = true;
    xcb_delete_property(m_connection, m_window, m_property);
    xcb_flush(m_connection);
    return false;
}

bool SelectionReader::isOwnerChange(const xcb_generic_event_t *event) const
{
    if (eventType(event) != m_xfixesEvent)
        return false;
    qCDebug(lcReader) << "clipboard changed hands during a read";
    return true;
}

bool SelectionReader::keepReading()
{
    if (m_shutDown || xcb_connection_has_error(m_connection))
        return false;
    // Only ownership changes matter between the pieces of one property: anything else queued
    // now answers nothing we are waiting for.
    while (EventPtr event{xcb_poll_for_event(m_connection)}) {
        if (isOwnerChange(event.get()))
            return false;
    }
    return true;
}

template <typename Predicate> EventPtr SelectionReader::waitFor(Predicate matches)
{
    const auto deadline = Clock::now() + m_limits.stallTimeout;
    for (;;) {
        if (m_shutDown || xcb_connection_has_error(m_connection))
            break;
        if (EventPtr event{xcb_poll_for_event(m_connection)}) {
            if (isOwnerChange(event.get()))
                break;
            if (matches(event.get()))
                return event;
            continue;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            qCDebug(lcReader) << "clipboard owner stalled";
            break;
        }
        pollfd fds[] = {{xcb_get_file_descriptor(m_connection), POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
        poll(fds, 2, static_cast<int>(left.count()) + 1);
    }
    m_gone = true;
    return nullptr;
}

std::optional<QByteArray> SelectionReader::read(xcb_atom_t target)
{
    if (m_gone)
        return std::nullopt;
    // Each conversion is delivered to a property of its own, so that an answer an owner sends
    // after we gave up on it is never taken for the answer to a later request.
    m_property = m_properties[m_conversions++ % m_properties.size()];
    xcb_delete_property(m_connection, m_window, m_property);
    xcb_convert_selection(m_connection, m_window, m_atoms.clipboard, target, m_property,
                          XCB_CURRENT_TIME);
    xcb_flush(m_connection);

    EventPtr event = waitFor([&](const xcb_generic_event_t *e) {
        if (eventType(e) != XCB_SELECTION_NOTIFY)
            return false;
        auto notify = reinterpret_cast<const xcb_selection_notify_event_t *>(e);
        return notify->requestor == m_window && notify->selection == m_atoms.clipboard &&
               notify->target == target &&
               (notify->property == m_property || notify->property == XCB_NONE);
    });
    if (!event)
        return std::nullopt;
    if (reinterpret_cast<const xcb_selection_notify_event_t *>(event.get())->property == XCB_NONE)
        return std::nullopt; // refused

    XcbPtr<xcb_get_property_reply_t> head(xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, 0, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0, 1),
        nullptr));
    if (!head || head->type == XCB_NONE)
        return std::nullopt;
    if (head->type == m_atoms.incr) {
        const quint32 hint = xcb_get_property_value_length(head.get()) >= 4
                                 ? *static_cast<const quint32 *>(xcb_get_property_value(head.get()))
                                 : 0;
        PropertyAnswer answer(PropertyAnswer::Mode::Incremental, hint, m_limits.maxBytes);
        if (!answer.fits())
            return abandon(), std::nullopt;
        return readIncrementally(answer);
    }
    const quint64 size = quint64(xcb_get_property_value_length(head.get())) + head->bytes_after;
    PropertyAnswer answer(PropertyAnswer::Mode::Whole, size, m_limits.maxBytes);
    if (!answer.fits()) {
        qCDebug(lcReader) << "abandoning a payload of" << size << "bytes";
        return abandon(), std::nullopt;
    }
    return readProperty(answer);
}

std::optional<QByteArray> SelectionReader::readProperty(PropertyAnswer &answer)
{
    // The owner wrote its whole answer before notifying us, and its size is within the cap.
    while (!answer.isComplete()) {
        if (!keepReading())
            return abandon(), std::nullopt;
        XcbPtr<xcb_get_property_reply_t> piece(xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, 0, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY,
                             answer.offsetUnits(), answer.lengthUnits()),
            nullptr));
        if (!piece || answer.add(valueOf(piece.get()), piece->bytes_after) ==
                          PropertyAnswer::Step::Abandoned) {
            qCDebug(lcReader) << "the answer changed while it was read";
            return abandon(), std::nullopt;
        }
    }
    xcb_delete_property(m_connection, m_window, m_property);
    xcb_flush(m_connection);
    return answer.take();
}

std::optional<QByteArray> SelectionReader::readIncrementally(PropertyAnswer &answer)
{
    // ICCCM INCR: deleting the INCR property asks for the first piece; every piece is deleted
    // as it is read, and an empty one ends the transfer.
    xcb_delete_property(m_connection, m_window, m_property);
    xcb_flush(m_connection);
    for (;;) {
        EventPtr event = waitFor([&](const xcb_generic_event_t *e) {
            if (eventType(e) != XCB_PROPERTY_NOTIFY)
                return false;
            auto notify = reinterpret_cast<const xcb_property_notify_event_t *>(e);
            return notify->window == m_window && notify->atom == m_property &&
                   notify->state == XCB_PROPERTY_NEW_VALUE;
        });
        if (!event)
            return std::nullopt;
        XcbPtr<xcb_get_property_reply_t> piece(xcb_get_property_reply(
            m_connection,
            xcb_get_property(m_connection, 1, m_window, m_property, XCB_GET_PROPERTY_TYPE_ANY, 0,
                             answer.lengthUnits()),
            nullptr));
        xcb_flush(m_connection);
        if (!piece)
            return abandon(), std::nullopt;
        switch (answer.add(valueOf(piece.get()), piece->bytes_after)) {
        case PropertyAnswer::Step::Complete:
            return answer.take();
        case PropertyAnswer::Step::Abandoned:
            qCDebug(lcReader) << "abandoning an incremental payload over" << m_limits.maxBytes;
            return abandon(), std::nullopt;
        case PropertyAnswer::Step::More:
            break;
        }
    }
}

std::optional<QList<xcb_atom_t>> SelectionReader::targets()
{
    const std::optional<QByteArray> data = read(m_atoms.targets);
    if (!data)
        return std::nullopt;
    return atomsOf(*data);
}

} // namespace tessary::x11
