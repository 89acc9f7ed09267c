#pragma once

#include <xcb/xcb.h>

namespace tessary::x11 {

// Keeps the window out of taskbars and pagers: sets _NET_WM_STATE_SKIP_TASKBAR and
// _NET_WM_STATE_SKIP_PAGER (EWMH), which Qt sets for no window type. Call it after the window
// exists and before it is mapped; Qt merges the states it sets itself at map time with these.
void skipTaskbarAndPager(xcb_connection_t *connection, xcb_window_t window);

} // namespace tessary::x11
