// Capture latency, large-image capture cost and GUI-thread stalls of the X11 clipboard, measured
// against a private Xvfb with xclip and a scripted owner on the other side.

#include "common/clipboardbench.h"
#include "hostileprobes.h"
#include "platform/x11/x11pasteboard.h"
#include "platform/x11/xcbsupport.h"
#include "platform/x11testsupport.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryFile>
#include <cstdio>
#include <sys/socket.h>
#include <thread>
#include <xcb/xfixes.h>

using namespace tessary;
using namespace tessary::bench;
using namespace tessary::testing;

namespace {

// Stamps the moment the server reports each new CLIPBOARD owner, from a thread of its own.
class OwnershipStamps : public OwnerChangeStamps {
public:
    OwnershipStamps()
    {
        m_connection = xcb_connect(nullptr, nullptr);
        x11::Atoms atoms;
        atoms.intern(m_connection);
        const xcb_window_t window = x11::createPrivateWindow(m_connection);
        m_event = x11::watchSelectionOwner(m_connection, window, atoms.clipboard);
        xcb_flush(m_connection);
        m_thread = std::thread([this] {
            while (x11::EventPtr event{xcb_wait_for_event(m_connection)}) {
                if (x11::eventType(event.get()) == m_event)
                    stamp();
            }
        });
    }
    ~OwnershipStamps() override
    {
        // Closing the socket from outside ends the thread's blocking wait.
        shutdown(xcb_get_file_descriptor(m_connection), SHUT_RDWR);
        m_thread.join();
        xcb_disconnect(m_connection);
    }

private:
    xcb_connection_t *m_connection;
    int m_event = -1;
    std::thread m_thread;
};

// A bare ICCCM read of one target with INCR, for comparison: no priority, no limits.
QByteArray rawIncrRead(const char *target)
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    x11::Atoms atoms;
    atoms.intern(c);
    const xcb_atom_t targetAtom = x11::internAtom(c, target);
    const xcb_window_t window = x11::createPrivateWindow(c);
    xcb_convert_selection(c, window, atoms.clipboard, targetAtom, atoms.transferProperty,
                          XCB_CURRENT_TIME);
    xcb_flush(c);
    QByteArray data;
    bool incremental = false;
    while (x11::EventPtr event{xcb_wait_for_event(c)}) {
        const quint8 type = x11::eventType(event.get());
        const bool notified = type == XCB_SELECTION_NOTIFY;
        const bool piece = type == XCB_PROPERTY_NOTIFY && incremental &&
                           reinterpret_cast<xcb_property_notify_event_t *>(event.get())->state ==
                               XCB_PROPERTY_NEW_VALUE;
        if (!notified && !piece)
            continue;
        x11::XcbPtr<xcb_get_property_reply_t> reply(
            xcb_get_property_reply(c,
                                   xcb_get_property(c, 1, window, atoms.transferProperty,
                                                    XCB_GET_PROPERTY_TYPE_ANY, 0, UINT32_MAX / 4),
                                   nullptr));
        xcb_flush(c);
        if (!reply)
            break;
        if (notified && reply->type == atoms.incr) {
            incremental = true;
            continue;
        }
        const int length = xcb_get_property_value_length(reply.get());
        data.append(static_cast<const char *>(xcb_get_property_value(reply.get())), length);
        if (!incremental || length == 0)
            break;
    }
    xcb_disconnect(c);
    return data;
}

void measureLargeImage(X11Pasteboard &pasteboard)
{
    QTemporaryFile file;
    file.open();
    file.write(largePng());
    file.flush();
    qint64 before = pasteboard.changeCount();
    QProcess::execute("xclip",
                      {"-selection", "clipboard", "-t", "image/png", "-i", file.fileName()});
    spinUntil([&] { return pasteboard.changeCount() != before; }, 5000);
    spin(200);
    const auto raw = [] { return rawIncrRead("image/png"); };
    compareWithRawRead(pasteboard, "xclip", "raw xcb INCR read", file.size(), raw);

    // An owner handing out 1 MiB pieces as fast as they are asked for.
    before = pasteboard.changeCount();
    ForeignOwner owner({{"image/png", largePng()}}, ForeignOwner::Behaviour::Answer, 1 << 20);
    owner.start();
    spinUntil([&] { return pasteboard.changeCount() != before; }, 5000);
    spin(200);
    compareWithRawRead(pasteboard, "a 1 MiB-increment owner", "raw xcb INCR read", file.size(),
                       raw);
}

void measureHungOwner(X11Pasteboard &pasteboard)
{
    const qint64 before = pasteboard.changeCount();
    ForeignOwner hung({{"UTF8_STRING", "never sent"}}, ForeignOwner::Behaviour::NeverAnswer);
    hung.start();
    spinUntil([&] { return pasteboard.changeCount() != before; }, 5000);
    measureHungOwnerStall(pasteboard);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    PrivateXServer server;
    if (!server.isRunning()) {
        std::fprintf(stderr, "Xvfb did not start\n");
        return 1;
    }
    std::unique_ptr<X11Pasteboard> pasteboard = X11Pasteboard::create({server.display()});
    if (!pasteboard)
        return 1;
    const QStringList only = app.arguments().mid(1);
    const auto wanted = [&](const char *name) { return only.isEmpty() || only.contains(name); };
    if (wanted("latency")) {
        OwnershipStamps stamps;
        measureCaptureLatency(*pasteboard, stamps, "xclip",
                              {"-selection", "clipboard", "-t", "UTF8_STRING", "-i"});
    }
    if (wanted("large"))
        measureLargeImage(*pasteboard);
    if (wanted("hung"))
        measureHungOwner(*pasteboard);
    if (wanted("appending"))
        measureAppendingOwner(*pasteboard);
    if (wanted("costly"))
        measureCostlyCopies(*pasteboard);
    if (wanted("multiple"))
        measureMultipleFlood(*pasteboard);
    if (wanted("flood"))
        measureOwnershipFlood(*pasteboard);
    return 0;
}
