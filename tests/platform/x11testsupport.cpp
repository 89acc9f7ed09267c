#include "x11testsupport.h"

#include "clientprocess.h"
#include "platform/x11/xcbsupport.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <poll.h>
#include <thread>

namespace tessary::testing {

PrivateXServer::PrivateXServer()
{
    // -displayfd 1: Xvfb picks a free display and writes its number to its standard output.
    m_process.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-screen", "0", "640x480x24",
                                             "-nolisten", "tcp", "-noreset"});
    QByteArray output;
    while (!output.contains('\n') && m_process.waitForReadyRead(10000))
        output += m_process.readAllStandardOutput();
    if (output.contains('\n')) {
        m_display = ':' + output.trimmed();
        qputenv("DISPLAY", m_display);
    }
}

PrivateXServer::~PrivateXServer()
{
    // Clients started by the test (xclip serving in the background) end with the server.
    m_process.terminate();
    m_process.waitForFinished(5000);
}

namespace {

std::optional<QByteArray> runXclip(const QStringList &arguments, const QByteArray &input,
                                   int timeoutMs)
{
    return runClient(QStringLiteral("xclip"), QStringList{"-selection", "clipboard"} + arguments,
                     input, timeoutMs);
}

} // namespace

bool setClipboardWithXclip(const QByteArray &target, const QByteArray &data)
{
    return runXclip({"-t", QString::fromLatin1(target), "-i"}, data, 10000).has_value();
}

std::optional<QByteArray> readClipboardWithXclip(const QByteArray &target, int timeoutMs)
{
    return runXclip({"-o", "-t", QString::fromLatin1(target)}, {}, timeoutMs);
}

struct ForeignOwner::State {
    QList<Target> targets; // TARGETS first once started
    Behaviour behaviour;
    int incrementSize;
    xcb_connection_t *c = nullptr;
    QList<xcb_atom_t> atoms{}; // one per target
    std::thread thread{};
    std::atomic<bool> stop{false};
    QStringList requests{};
    xcb_selection_request_event_t incr{}; // the incremental transfer under way, if any
    qsizetype sent = -1;
    xcb_selection_request_event_t appendingTo{}; // the answer being appended to, if any
    std::atomic<qsizetype> appended{0};
    xcb_window_t windows[2]{}; // taking it again alternates between the two
    xcb_atom_t clipboard = XCB_NONE;
    std::atomic<int> takesPerSecond{0};
    std::atomic<int> taken{0};
    std::chrono::steady_clock::time_point nextTake{};

    static QByteArray floodText(int n) { return "flood " + QByteArray::number(n); }

    // True when the next take is due and the loop must not wait.
    bool takeAgainIfDue()
    {
        using namespace std::chrono;
        const int perSecond = takesPerSecond;
        if (perSecond == 0)
            return false;
        const auto now = steady_clock::now();
        if (nextTake == steady_clock::time_point{})
            nextTake = now;
        if (now < nextTake)
            return false;
        const int n = taken + 1;
        targets[1].data = floodText(n);
        xcb_set_selection_owner(c, windows[n % 2], clipboard, XCB_CURRENT_TIME);
        xcb_flush(c);
        taken = n;
        nextTake += microseconds(1000000 / perSecond);
        return nextTake <= steady_clock::now();
    }

    void put(const xcb_selection_request_event_t *to, xcb_atom_t type, int format, qsizetype count,
             const void *data)
    {
        xcb_change_property(c, XCB_PROP_MODE_REPLACE, to->requestor, to->property, type, format,
                            count, data);
        xcb_flush(c);
    }

    void answer(const xcb_selection_request_event_t *request)
    {
        const qsizetype index = atoms.indexOf(request->target);
        requests.append(QString::fromLatin1(index < 0 ? "?" : targets[index].name));
        const QByteArray &data = targets[std::max<qsizetype>(index, 0)].data;
        if (index == 0 && behaviour == Behaviour::OddFormats) {
            const QByteArray bytes =
                QByteArray(reinterpret_cast<const char *>(atoms.constData()), atoms.size() * 4) +
                "odd";
            put(request, XCB_ATOM_STRING, 8, bytes.size(), bytes.constData());
        } else if (index == 0) {
            const bool empty = behaviour == Behaviour::EmptyTargets;
            put(request, XCB_ATOM_ATOM, 32, empty ? 0 : atoms.size(), atoms.constData());
        } else if (index > 0 && behaviour == Behaviour::OddFormats) {
            put(request, XCB_ATOM_INTEGER, 32, data.size() / 4, data.constData());
        } else if (index > 0 && behaviour != Behaviour::EndlessIncrement &&
                   (data.size() <= incrementSize || behaviour == Behaviour::KeepAppending)) {
            put(request, request->target, 8, data.size(), data.constData());
            if (behaviour == Behaviour::KeepAppending)
                appendingTo = *request;
        } else if (index > 0) {
            const quint32 mask = XCB_EVENT_MASK_PROPERTY_CHANGE, size = data.size();
            xcb_change_window_attributes(c, request->requestor, XCB_CW_EVENT_MASK, &mask);
            put(request, x11::internAtom(c, "INCR"), 32, 1, &size);
            incr = *request;
            sent = 0;
        }
        // Two of them: an event goes out as 32 bytes, longer than the structure.
        const xcb_selection_notify_event_t notify[2] = {
            {XCB_SELECTION_NOTIFY, 0, 0, request->time, request->requestor, request->selection,
             request->target, index < 0 ? xcb_atom_t(XCB_NONE) : request->property}};
        xcb_send_event(c, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char *>(notify));
        xcb_flush(c);
    }

    // The requestor took the last piece: the next follows, an empty one ends the transfer.
    void sendPiece(const xcb_property_notify_event_t *event)
    {
        if (event->window != incr.requestor || event->atom != incr.property ||
            event->state != XCB_PROPERTY_DELETE)
            return;
        const QByteArray &data = targets[atoms.indexOf(incr.target)].data;
        if (behaviour == Behaviour::EndlessIncrement) {
            put(&incr, incr.target, 8, std::min<qsizetype>(incrementSize, data.size()),
                data.constData());
            return;
        }
        const qsizetype length = std::min<qsizetype>(incrementSize, data.size() - sent);
        put(&incr, incr.target, 8, length, data.constData() + sent);
        sent = length == 0 ? -1 : sent + length;
        if (behaviour == Behaviour::DieMidTransfer) {
            xcb_disconnect(c);
            c = nullptr;
        }
    }

    // Requests are queued without waiting for the server, so it always has more to append.
    bool appendMore()
    {
        if (appendingTo.requestor == XCB_NONE || appended >= ForeignOwner::kAppendLimit)
            return false;
        const QByteArray chunk =
            targets[atoms.indexOf(appendingTo.target)].data.left(incrementSize);
        xcb_change_property(c, XCB_PROP_MODE_APPEND, appendingTo.requestor, appendingTo.property,
                            appendingTo.target, 8, chunk.size(), chunk.constData());
        xcb_flush(c);
        appended += chunk.size();
        return true;
    }

    void serve()
    {
        while (!stop && c && !xcb_connection_has_error(c)) {
            xcb_generic_event_t *event = xcb_poll_for_event(c);
            pollfd fd{xcb_get_file_descriptor(c), POLLIN, 0};
            const quint8 type = event ? event->response_type & 0x7f : 0;
            const bool due = takeAgainIfDue();
            if (!event && !appendMore() && !due)
                poll(&fd, 1, takesPerSecond > 0 ? 1 : 20);
            else if (type == XCB_SELECTION_REQUEST && behaviour != Behaviour::NeverAnswer)
                answer(reinterpret_cast<xcb_selection_request_event_t *>(event));
            else if (type == XCB_PROPERTY_NOTIFY && sent >= 0)
                sendPiece(reinterpret_cast<xcb_property_notify_event_t *>(event));
            std::free(event);
        }
    }
};

ForeignOwner::ForeignOwner(QList<Target> targets, Behaviour behaviour, int incrementSize)
    : d(new State{std::move(targets), behaviour, incrementSize})
{}

ForeignOwner::~ForeignOwner()
{
    exit();
}

bool ForeignOwner::start()
{
    xcb_connection_t *c = d->c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c))
        return false;
    for (xcb_window_t &window : d->windows)
        window = x11::createPrivateWindow(c);
    d->targets.prepend({"TARGETS", {}});
    for (const Target &target : d->targets)
        d->atoms.append(x11::internAtom(c, target.name.constData()));
    const xcb_atom_t clipboard = d->clipboard = x11::internAtom(c, "CLIPBOARD");
    xcb_set_selection_owner(c, d->windows[0], clipboard, XCB_CURRENT_TIME);
    const x11::XcbPtr<xcb_get_selection_owner_reply_t> owner(
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, clipboard), nullptr));
    const bool owns = owner && owner->owner == d->windows[0];
    d->thread = std::thread([this] { d->serve(); });
    return owns;
}

void ForeignOwner::exit()
{
    d->stop = true;
    if (d->thread.joinable())
        d->thread.join();
    if (d->c)
        xcb_disconnect(d->c);
    d->c = nullptr;
}

int ForeignOwner::takeAgainPerSecond(int perSecond)
{
    d->takesPerSecond = perSecond;
    return d->taken;
}

QByteArray ForeignOwner::lastText() const
{
    return State::floodText(d->taken);
}

QStringList ForeignOwner::requests() const
{
    return d->requests;
}

qsizetype ForeignOwner::appended() const
{
    return d->appended;
}

} // namespace tessary::testing
