#include "xcbsupport.h"

#include <cstring>
#include <iterator>
#include <xcb/xfixes.h>

namespace tessary::x11 {

namespace {

struct AtomName {
    xcb_atom_t Atoms::*member;
    const char *name;
};
constexpr AtomName kAtomNames[] = {
    {&Atoms::clipboard, "CLIPBOARD"},
    {&Atoms::targets, "TARGETS"},
    {&Atoms::multiple, "MULTIPLE"},
    {&Atoms::timestamp, "TIMESTAMP"},
    {&Atoms::incr, "INCR"},
    {&Atoms::atomPair, "ATOM_PAIR"},
    {&Atoms::utf8String, "UTF8_STRING"},
    {&Atoms::text, "TEXT"},
    {&Atoms::textPlain, "text/plain"},
    {&Atoms::textPlainUtf8, "text/plain;charset=utf-8"},
    {&Atoms::uriList, "text/uri-list"},
    {&Atoms::gnomeCopiedFiles, "x-special/gnome-copied-files"},
    {&Atoms::imagePng, "image/png"},
    {&Atoms::imageTiff, "image/tiff"},
    {&Atoms::passwordManagerHint, "x-kde-passwordManagerHint"},
    {&Atoms::transferProperty, "TESSARY_TRANSFER"},
    {&Atoms::timestampProperty, "TESSARY_TIMESTAMP"},
};

} // namespace

bool Atoms::intern(xcb_connection_t *connection)
{
    xcb_intern_atom_cookie_t cookies[std::size(kAtomNames)];
    for (std::size_t i = 0; i < std::size(kAtomNames); ++i)
        cookies[i] =
            xcb_intern_atom(connection, 0, std::strlen(kAtomNames[i].name), kAtomNames[i].name);
    bool ok = true;
    for (std::size_t i = 0; i < std::size(kAtomNames); ++i) {
        XcbPtr<xcb_intern_atom_reply_t> reply(
            xcb_intern_atom_reply(connection, cookies[i], nullptr));
        ok = ok && reply;
        this->*kAtomNames[i].member = reply ? reply->atom : XCB_NONE;
    }
    return ok;
}

xcb_atom_t Atoms::named(QByteArrayView name) const
{
    if (name == "STRING")
        return XCB_ATOM_STRING; // predefined by the core protocol
    for (const AtomName &entry : kAtomNames) {
        if (name == entry.name)
            return this->*entry.member;
    }
    return XCB_NONE;
}

QByteArray Atoms::nameOf(xcb_atom_t atom) const
{
    if (atom == XCB_ATOM_STRING)
        return "STRING";
    for (const AtomName &entry : kAtomNames) {
        if (atom != XCB_NONE && this->*entry.member == atom)
            return entry.name;
    }
    return {};
}

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    XcbPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, std::strlen(name), name), nullptr));
    return reply ? reply->atom : XCB_NONE;
}

QByteArray atomName(xcb_connection_t *connection, xcb_atom_t atom)
{
    XcbPtr<xcb_get_atom_name_reply_t> reply(
        xcb_get_atom_name_reply(connection, xcb_get_atom_name(connection, atom), nullptr));
    if (!reply)
        return {};
    return QByteArray(xcb_get_atom_name_name(reply.get()),
                      xcb_get_atom_name_name_length(reply.get()));
}

xcb_window_t createPrivateWindow(xcb_connection_t *connection)
{
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    const quint32 eventMask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK,
                      &eventMask);
    return window;
}

int watchSelectionOwner(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t selection)
{
    const xcb_query_extension_reply_t *extension =
        xcb_get_extension_data(connection, &xcb_xfixes_id);
    if (!extension || !extension->present)
        return -1;
    XcbPtr<xcb_xfixes_query_version_reply_t> version(xcb_xfixes_query_version_reply(
        connection, xcb_xfixes_query_version(connection, 5, 0), nullptr));
    if (!version)
        return -1;
    xcb_xfixes_select_selection_input(connection, window, selection,
                                      XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                                          XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
    return extension->first_event;
}

quint32 maxPropertyBytes(xcb_connection_t *connection)
{
    // The length is in four-byte units and includes the ChangeProperty header (24 bytes).
    const quint64 units = xcb_get_maximum_request_length(connection);
    const quint64 bytes = units * 4;
    return static_cast<quint32>(bytes > 64 ? bytes - 64 : 0);
}

} // namespace tessary::x11
