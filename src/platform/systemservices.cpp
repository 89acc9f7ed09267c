#include "systemservices.h"

#include "platform/memory/memorypasteboard.h"
#include "platform/sound/canberrasoundplayer.h"
#include "platform/wayland/datacontrol.h"
#include "platform/wayland/waylandglobals.h"
#include "platform/wayland/waylandpasteboard.h"
#include "platform/x11/x11pasteboard.h"

#include <QFile>
#include <QLoggingCategory>

namespace tessary {
namespace {

Q_LOGGING_CATEGORY(lcServices, "tessary.services", QtInfoMsg)

const QByteArray kExtManager = wayland::kExtDataControl.managerName;
const QByteArray kWlrManager = wayland::kWlrDataControl.managerName;

std::unique_ptr<Pasteboard> createPasteboard(ClipboardBackend backend)
{
    switch (backend) {
    case ClipboardBackend::WaylandExt:
    case ClipboardBackend::WaylandWlr:
        return WaylandPasteboard::create({{},
                                          backend == ClipboardBackend::WaylandExt
                                              ? WaylandPasteboard::Protocol::Ext
                                              : WaylandPasteboard::Protocol::Wlr});
    case ClipboardBackend::X11ThroughXWayland:
    case ClipboardBackend::X11:
        return X11Pasteboard::create();
    case ClipboardBackend::None:
        break;
    }
    return std::make_unique<MemoryPasteboard>();
}

void logAccess(ClipboardAccess access)
{
    switch (access) {
    case ClipboardAccess::Direct:
        return;
    case ClipboardAccess::ThroughX11Compatibility:
        qCInfo(lcServices) << "this Wayland desktop offers no data-control: copies are seen "
                              "through the X11 compatibility layer (XWayland)";
        return;
    case ClipboardAccess::None:
        qCWarning(lcServices) << "this desktop does not let applications watch the clipboard: "
                                 "nothing copied will reach the history";
        return;
    }
}

} // namespace

SessionFacts SessionFacts::probe(const QProcessEnvironment &environment)
{
    SessionFacts facts;
    const QString waylandDisplay = environment.value("WAYLAND_DISPLAY");
    facts.waylandSession = !waylandDisplay.isEmpty() ||
                           environment.value("XDG_SESSION_TYPE") == QLatin1String("wayland");
    if (facts.waylandSession)
        facts.waylandGlobals = wayland::advertisedGlobals(QFile::encodeName(waylandDisplay))
                                   .value_or(QHash<QByteArray, quint32>());
    facts.x11Display = !environment.value("DISPLAY").isEmpty();
    return facts;
}

ClipboardBackend chooseClipboardBackend(const SessionFacts &facts)
{
    if (facts.waylandSession) {
        // A data-control device belongs to a seat.
        const bool seat = facts.waylandGlobals.contains("wl_seat");
        if (seat && facts.waylandGlobals.contains(kExtManager))
            return ClipboardBackend::WaylandExt;
        if (seat && facts.waylandGlobals.contains(kWlrManager))
            return ClipboardBackend::WaylandWlr;
        return facts.x11Display ? ClipboardBackend::X11ThroughXWayland : ClipboardBackend::None;
    }
    return facts.x11Display ? ClipboardBackend::X11 : ClipboardBackend::None;
}

ClipboardAccess accessThrough(ClipboardBackend backend)
{
    switch (backend) {
    case ClipboardBackend::WaylandExt:
    case ClipboardBackend::WaylandWlr:
    case ClipboardBackend::X11:
        return ClipboardAccess::Direct;
    case ClipboardBackend::X11ThroughXWayland:
        return ClipboardAccess::ThroughX11Compatibility;
    case ClipboardBackend::None:
        break;
    }
    return ClipboardAccess::None;
}

SystemClipboard openSystemClipboard(SessionFacts facts)
{
    for (;;) {
        const ClipboardBackend backend = chooseClipboardBackend(facts);
        if (std::unique_ptr<Pasteboard> pasteboard = createPasteboard(backend)) {
            const ClipboardAccess access = accessThrough(backend);
            logAccess(access);
            return {std::move(pasteboard), access};
        }
        // That one could not be opened: the choice is made again without it.
        if (backend == ClipboardBackend::WaylandExt)
            facts.waylandGlobals.remove(kExtManager);
        else if (backend == ClipboardBackend::WaylandWlr)
            facts.waylandGlobals.remove(kWlrManager);
        else
            facts.x11Display = false;
    }
}

std::unique_ptr<SoundPlayer> createSoundPlayer()
{
    return std::make_unique<CanberraSoundPlayer>();
}

} // namespace tessary
