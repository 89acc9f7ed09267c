#pragma once

#include <QString>
#include <xcb/xcb.h>

namespace tessary::x11 {

// Keeps the window out of taskbars and pagers: sets _NET_WM_STATE_SKIP_TASKBAR and
// _NET_WM_STATE_SKIP_PAGER (EWMH), which Qt sets for no window type. Call it after the window
// exists and before it is mapped; Qt merges the states it sets itself at map time with these.
void skipTaskbarAndPager(xcb_connection_t *connection, xcb_window_t window);

// Asks the window manager to give the mapped window the focus for a user action at `time` (X
// server time), as EWMH's _NET_ACTIVE_WINDOW does for an application. A window manager that
// prevents focus stealing compares that time with the user's last action in the focused window;
// Qt's own request carries the time of the last event Qt saw, which a global key never was.
void activateForUserAction(xcb_connection_t *connection, xcb_window_t window, xcb_timestamp_t time);

// The X server time in a startup notification id ("..._TIME<time>"), or 0 when it has none.
xcb_timestamp_t startupIdTime(const QString &startupId);

// Whether a compositing manager runs on that screen: it owns _NET_WM_CM_S<screen> (EWMH). Only
// then are translucent windows blended with what lies beneath.
bool hasCompositingManager(xcb_connection_t *connection, int screen);

} // namespace tessary::x11
