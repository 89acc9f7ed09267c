#include "systemservices.h"

#include "platform/memory/memorypasteboard.h"
#include "platform/sound/canberrasoundplayer.h"
#include "platform/x11/x11pasteboard.h"

#include <QGuiApplication>
#include <QLoggingCategory>

namespace tessary {
namespace {

Q_LOGGING_CATEGORY(lcServices, "tessary.services", QtInfoMsg)

bool runsOnX11()
{
    // The toolkit's platform says which display we were started on; without a GUI
    // application (tools, tests) $DISPLAY does.
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()) &&
        QGuiApplication::platformName() == QLatin1String("xcb"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY");
}

} // namespace

std::unique_ptr<Pasteboard> createSystemPasteboard()
{
    if (runsOnX11()) {
        if (std::unique_ptr<Pasteboard> pasteboard = X11Pasteboard::create())
            return pasteboard;
    }
    // No clipboard backend for this session (no X server reachable): the history then only
    // holds what this process copies itself.
    qCWarning(lcServices) << "no system clipboard backend for this session; using a private one";
    return std::make_unique<MemoryPasteboard>();
}

std::unique_ptr<SoundPlayer> createSoundPlayer()
{
    return std::make_unique<CanberraSoundPlayer>();
}

} // namespace tessary
