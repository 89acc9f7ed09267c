#include "foreignowner.h"

#include <cstdlib>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace tessary::testing {

struct ForeignOwner::Connection {
    xcb_connection_t *c = nullptr;
    xcb_window_t window = XCB_NONE;
    xcb_atom_t clipboard = XCB_NONE, targets = XCB_NONE, incr = XCB_NONE;
    QList<xcb_atom_t> atoms; // one per target
    struct Incr {
        xcb_window_t requestor;
        xcb_atom_t property, type;
        QByteArray data;
        qsizetype sent = 0;
    };
    std::optional<Incr> transfer;

    xcb_atom_t intern(const QByteArray &name)
    {
        xcb_intern_atom_reply_t *reply =
            xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, name.size(), name.constData()), nullptr);
        const xcb_atom_t atom = reply ? reply->atom : XCB_NONE;
        std::free(reply);
        return atom;
    }
    QByteArray name(xcb_atom_t atom)
    {
        xcb_get_atom_name_reply_t *reply =
            xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atom), nullptr);
        QByteArray result =
            reply ? QByteArray(xcb_get_atom_name_name(reply), xcb_get_atom_name_name_length(reply))
                  : QByteArray();
        std::free(reply);
        return result;
    }
    void notify(const xcb_selection_request_event_t *request, xcb_atom_t property)
    {
        union {
            xcb_selection_notify_event_t event;
            char bytes[32];
        } notify{};
        notify.event.response_type = XCB_SELECTION_NOTIFY;
        notify.event.time = request->time;
        notify.event.requestor = request->requestor;
        notify.event.selection = request->selection;
        notify.event.target = request->target;
        notify.event.property = property;
        xcb_send_event(c, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT, notify.bytes);
        xcb_flush(c);
    }
};

ForeignOwner::ForeignOwner(QList<Target> targets, Behaviour behaviour, int incrementSize)
    : m_targets(std::move(targets)), m_behaviour(behaviour), m_incrementSize(incrementSize),
      m_wakeFd(eventfd(0, EFD_CLOEXEC))
{}

ForeignOwner::~ForeignOwner()
{
    exit();
    close(m_wakeFd);
}

bool ForeignOwner::start()
{
    m_connection = std::make_unique<Connection>();
    Connection &conn = *m_connection;
    conn.c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(conn.c))
        return false;
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(conn.c)).data;
    conn.window = xcb_generate_id(conn.c);
    xcb_create_window(conn.c, XCB_COPY_FROM_PARENT, conn.window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    conn.clipboard = conn.intern("CLIPBOARD");
    conn.targets = conn.intern("TARGETS");
    conn.incr = conn.intern("INCR");
    for (const Target &target : m_targets)
        conn.atoms.append(conn.intern(target.name));
    xcb_set_selection_owner(conn.c, conn.window, conn.clipboard, XCB_CURRENT_TIME);
    xcb_get_selection_owner_reply_t *owner = xcb_get_selection_owner_reply(
        conn.c, xcb_get_selection_owner(conn.c, conn.clipboard), nullptr);
    const bool owns = owner && owner->owner == conn.window;
    std::free(owner);
    m_thread = std::thread([this] { serve(); });
    return owns;
}

void ForeignOwner::exit()
{
    if (m_thread.joinable()) {
        m_stop = true;
        const quint64 one = 1;
        [[maybe_unused]] auto written = write(m_wakeFd, &one, sizeof one);
        m_thread.join();
    }
    if (m_connection && m_connection->c) {
        xcb_disconnect(m_connection->c);
        m_connection->c = nullptr;
    }
}

QStringList ForeignOwner::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void ForeignOwner::serve()
{
    Connection &conn = *m_connection;
    while (!m_stop) {
        xcb_generic_event_t *event = xcb_poll_for_event(conn.c);
        if (!event) {
            if (xcb_connection_has_error(conn.c))
                return;
            pollfd fds[] = {{xcb_get_file_descriptor(conn.c), POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
            poll(fds, 2, -1);
            continue;
        }
        const quint8 type = event->response_type & 0x7f;
        if (type == XCB_SELECTION_REQUEST && m_behaviour != Behaviour::NeverAnswer) {
            auto request = reinterpret_cast<xcb_selection_request_event_t *>(event);
            {
                std::lock_guard lock(m_mutex);
                m_requests.append(QString::fromLatin1(conn.name(request->target)));
            }
            const qsizetype index = conn.atoms.indexOf(request->target);
            if (request->target == conn.targets) {
                QList<xcb_atom_t> offered = conn.atoms;
                offered.prepend(conn.targets);
                xcb_change_property(conn.c, XCB_PROP_MODE_REPLACE, request->requestor,
                                    request->property, XCB_ATOM_ATOM, 32, offered.size(),
                                    offered.constData());
                conn.notify(request, request->property);
            } else if (index < 0) {
                conn.notify(request, XCB_NONE);
            } else if (m_targets[index].data.size() <= m_incrementSize) {
                const QByteArray &data = m_targets[index].data;
                xcb_change_property(conn.c, XCB_PROP_MODE_REPLACE, request->requestor,
                                    request->property, request->target, 8, data.size(),
                                    data.constData());
                conn.notify(request, request->property);
            } else {
                const quint32 mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
                xcb_change_window_attributes(conn.c, request->requestor, XCB_CW_EVENT_MASK, &mask);
                const quint32 size = m_targets[index].data.size();
                xcb_change_property(conn.c, XCB_PROP_MODE_REPLACE, request->requestor,
                                    request->property, conn.incr, 32, 1, &size);
                conn.transfer = Connection::Incr{request->requestor, request->property,
                                                 request->target, m_targets[index].data};
                conn.notify(request, request->property);
            }
        } else if (type == XCB_PROPERTY_NOTIFY && conn.transfer) {
            auto notify = reinterpret_cast<xcb_property_notify_event_t *>(event);
            Connection::Incr &incr = *conn.transfer;
            if (notify->window == incr.requestor && notify->atom == incr.property &&
                notify->state == XCB_PROPERTY_DELETE) {
                const qsizetype length =
                    std::min<qsizetype>(m_incrementSize, incr.data.size() - incr.sent);
                xcb_change_property(conn.c, XCB_PROP_MODE_REPLACE, incr.requestor, incr.property,
                                    incr.type, 8, length, incr.data.constData() + incr.sent);
                xcb_flush(conn.c);
                incr.sent += length;
                if (length == 0)
                    conn.transfer.reset();
                if (m_behaviour == Behaviour::DieMidTransfer) {
                    std::free(event);
                    xcb_disconnect(conn.c);
                    conn.c = nullptr;
                    return;
                }
            }
        }
        std::free(event);
    }
}

} // namespace tessary::testing
