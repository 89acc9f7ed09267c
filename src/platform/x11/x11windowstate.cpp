#include "x11windowstate.h"

#include "xcbsupport.h"

#include <array>

namespace tessary::x11 {

void skipTaskbarAndPager(xcb_connection_t *connection, xcb_window_t window)
{
    const xcb_atom_t state = internAtom(connection, "_NET_WM_STATE");
    const std::array<xcb_atom_t, 2> skip{internAtom(connection, "_NET_WM_STATE_SKIP_TASKBAR"),
                                         internAtom(connection, "_NET_WM_STATE_SKIP_PAGER")};
    if (state == XCB_ATOM_NONE || skip[0] == XCB_ATOM_NONE || skip[1] == XCB_ATOM_NONE)
        return;
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, window, state, XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(skip.size()), skip.data());
    xcb_flush(connection);
}

} // namespace tessary::x11
