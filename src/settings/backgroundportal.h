#pragma once

#include "loginitem.h"

#include <QDBusConnection>
#include <chrono>
#include <optional>

namespace tessary {

// Start at login from inside a Flatpak sandbox, through the Background portal's RequestBackground
// with autostart set. The portal may ask the user, so a request waits (user input held back) for
// its Response up to a timeout.
//
// The portal offers no way to read the state back. The entry it writes on the host
// (~/.config/autostart/<app id>.desktop) is read when the sandbox can see it; otherwise the
// answer of this process's last successful request counts, and before any the status is unknown.
class BackgroundPortal : public LoginItem {
public:
    explicit BackgroundPortal(QDBusConnection bus = QDBusConnection::sessionBus(),
                              std::chrono::milliseconds timeout = std::chrono::seconds(60),
                              QString hostEntryPath = {});

    LoginItemStatus status() override;
    LoginItemResult enable() override { return request(true); }
    LoginItemResult disable() override { return request(false); }

private:
    LoginItemResult request(bool autostart);

    QDBusConnection m_bus;
    std::chrono::milliseconds m_timeout;
    QString m_hostEntryPath;
    std::optional<bool> m_granted;
};

} // namespace tessary
