#pragma once

#include "loginitem.h"

#include <QDBusConnection>
#include <QPointer>
#include <chrono>
#include <optional>

namespace tessary {

class PortalRequest;

// Start at login from inside a Flatpak sandbox, through the Background portal's RequestBackground
// with autostart set. The portal may ask the user first: a request is answered by the Request
// object's Response signal, or fails after a timeout. Nothing waits meanwhile.
//
// The portal offers no way to read the state back. The entry it writes on the host
// (~/.config/autostart/<app id>.desktop) is read when the sandbox can see it; otherwise the
// answer of this process's last successful request counts, and before any the status is unknown.
class BackgroundPortal : public LoginItem {
    Q_OBJECT
public:
    explicit BackgroundPortal(QDBusConnection bus = QDBusConnection::sessionBus(),
                              std::chrono::milliseconds timeout = std::chrono::seconds(60),
                              QString hostEntryPath = {});
    ~BackgroundPortal() override;

    LoginItemStatus status() override;
    void request(bool autostart) override;

private:
    static LoginItemResult answerTo(const QString &what, bool autostart, uint response,
                                    const QVariantMap &results);
    void conclude(bool autostart, const LoginItemResult &result);

    QDBusConnection m_bus;
    std::chrono::milliseconds m_timeout;
    QString m_hostEntryPath;
    std::optional<bool> m_granted;
    QPointer<PortalRequest> m_pending;
};

} // namespace tessary
