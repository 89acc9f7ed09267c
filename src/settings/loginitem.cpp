#include "loginitem.h"

#include "backgroundportal.h"
#include "xdgautostart.h"

#include <QFileInfo>

namespace tessary {

std::unique_ptr<LoginItem> createLoginItem(const QString &flatpakInfoPath)
{
    // Inside the sandbox the host's autostart folder is out of reach; the portal writes there.
    if (QFileInfo::exists(flatpakInfoPath))
        return std::make_unique<BackgroundPortal>();
    return std::make_unique<XdgAutostart>();
}

} // namespace tessary
