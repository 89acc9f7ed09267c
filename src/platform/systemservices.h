#pragma once

#include "core/services.h"

#include <QHash>
#include <QProcessEnvironment>
#include <memory>

namespace tessary {

enum class ClipboardBackend { WaylandExt, WaylandWlr, X11ThroughXWayland, X11, None };

// What the choice of clipboard backend depends on, gathered once at start. Qt's platform plugin
// plays no part: Qt may draw through XWayland while the clipboard is watched on Wayland.
struct SessionFacts {
    bool waylandSession = false;               // WAYLAND_DISPLAY, or XDG_SESSION_TYPE=wayland
    QHash<QByteArray, quint32> waylandGlobals; // what the compositor advertises, with versions
    bool x11Display = false;                   // DISPLAY: an X server, or XWayland

    static SessionFacts
    probe(const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment());
};

// Wayland data-control when the compositor offers it (the standard ext protocol before wlroots'
// one); else X11, which on a Wayland desktop (GNOME's) sees copies through XWayland; else none.
ClipboardBackend chooseClipboardBackend(const SessionFacts &facts);
ClipboardAccess accessThrough(ClipboardBackend backend);

struct SystemClipboard {
    std::unique_ptr<Pasteboard> pasteboard;
    ClipboardAccess access; // for the panel to tell while the history is empty
};

// The clipboard of the session we run in, through the backend chosen above (the next choice
// when that one cannot be opened). Without any, a clipboard private to this process. What it
// means for capture is logged once.
SystemClipboard openSystemClipboard(SessionFacts facts = SessionFacts::probe());
// Event sounds through the desktop's sound theme.
std::unique_ptr<SoundPlayer> createSoundPlayer();

} // namespace tessary
