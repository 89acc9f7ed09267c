#pragma once

class QWindow;

namespace tessary {

// Keeps the window out of taskbars and pagers: sets _NET_WM_STATE_SKIP_TASKBAR and
// _NET_WM_STATE_SKIP_PAGER (EWMH), which Qt sets for no window type. Call it after the native
// window exists and before it is shown; Qt merges the states it sets itself at map time with
// these. Does nothing outside X11.
void skipTaskbarAndPager(QWindow &window);

} // namespace tessary
