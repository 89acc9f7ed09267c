#pragma once

// Small helpers shared by the X11 clipboard reader and owner: owning pointers for xcb replies
// and events, the atoms the clipboard speaks, and the private window each connection uses.

#include <QByteArray>
#include <QList>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace tessary::x11 {

struct FreeDeleter {
    void operator()(void *p) const { std::free(p); }
};
template <typename T> using XcbPtr = std::unique_ptr<T, FreeDeleter>;
using EventPtr = XcbPtr<xcb_generic_event_t>;

// Every atom either side needs, interned in one round trip.
struct Atoms {
    xcb_atom_t clipboard = XCB_NONE;
    xcb_atom_t targets = XCB_NONE;
    xcb_atom_t multiple = XCB_NONE;
    xcb_atom_t timestamp = XCB_NONE;
    xcb_atom_t incr = XCB_NONE;
    xcb_atom_t atomPair = XCB_NONE;
    xcb_atom_t utf8String = XCB_NONE;
    xcb_atom_t text = XCB_NONE;
    xcb_atom_t textPlain = XCB_NONE;
    xcb_atom_t textPlainUtf8 = XCB_NONE;
    xcb_atom_t uriList = XCB_NONE;
    xcb_atom_t gnomeCopiedFiles = XCB_NONE;
    xcb_atom_t imagePng = XCB_NONE;
    xcb_atom_t imageTiff = XCB_NONE;
    xcb_atom_t passwordManagerHint = XCB_NONE;
    xcb_atom_t transferProperty = XCB_NONE;  // where conversions for us are delivered
    xcb_atom_t timestampProperty = XCB_NONE; // touched to learn the server time

    // False when the connection failed.
    bool intern(xcb_connection_t *connection);
    // Between the names above (and STRING) and their atoms, without asking the server; XCB_NONE
    // or an empty name for any other.
    xcb_atom_t named(QByteArrayView name) const;
    QByteArray nameOf(xcb_atom_t atom) const;
};

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name);
QByteArray atomName(xcb_connection_t *connection, xcb_atom_t atom);

// An unmapped input-only window on the root, listening for property changes on itself.
xcb_window_t createPrivateWindow(xcb_connection_t *connection);

// Subscribes the window to ownership changes of the selection (owner set, owner window
// destroyed, owner client gone). Returns the extension's first event code, or -1 without XFixes.
int watchSelectionOwner(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t selection);

// The largest property payload one ChangeProperty request can carry on this connection.
quint32 maxPropertyBytes(xcb_connection_t *connection);

// The event code without the "sent by SendEvent" bit.
inline quint8 eventType(const xcb_generic_event_t *event)
{
    return event->response_type & 0x7f;
}

} // namespace tessary::x11
