#include "backgroundportal.h"

#include "core/appid.h"
#include "desktopentry.h"
#include "platform/portal/portalrequest.h"

#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace tessary {

namespace {

constexpr char kBackgroundInterface[] = "org.freedesktop.portal.Background";

QString sandboxAppId()
{
    const QString id = qEnvironmentVariable("FLATPAK_ID");
    return id.isEmpty() ? QLatin1String(kApplicationId) : id;
}

} // namespace

BackgroundPortal::BackgroundPortal(QDBusConnection bus, std::chrono::milliseconds timeout,
                                   QString hostEntryPath)
    : m_bus(std::move(bus)), m_timeout(timeout), m_hostEntryPath(std::move(hostEntryPath))
{
    if (m_hostEntryPath.isEmpty())
        m_hostEntryPath = QDir::homePath() + QLatin1String("/.config/autostart/") + sandboxAppId() +
                          QLatin1String(".desktop");
}

LoginItemStatus BackgroundPortal::status()
{
    const QFileInfo entry(m_hostEntryPath);
    if (entry.dir().exists()) {
        QFile file(m_hostEntryPath);
        if (!file.open(QIODevice::ReadOnly))
            return LoginItemStatus::NotRegistered;
        const auto keys = parseDesktopEntry(file.readAll());
        if (!keys)
            return LoginItemStatus::NotOurs;
        if (keys->value(QStringLiteral("Hidden")) == QLatin1String("true") ||
            keys->value(QStringLiteral("X-GNOME-Autostart-enabled")) == QLatin1String("false"))
            return LoginItemStatus::Disabled;
        return LoginItemStatus::Enabled;
    }
    if (m_granted)
        return *m_granted ? LoginItemStatus::Enabled : LoginItemStatus::NotRegistered;
    return LoginItemStatus::Unknown;
}

BackgroundPortal::~BackgroundPortal() = default;

void BackgroundPortal::request(bool autostart)
{
    const QString what =
        autostart ? QStringLiteral("start at login") : QStringLiteral("stop starting at login");
    if (m_pending) {
        emit finished(LoginItemResult::failure(
            QStringLiteral("cannot ask the desktop to %1: a request still waits").arg(what)));
        return;
    }
    if (!m_bus.isConnected()) {
        emit finished(LoginItemResult::failure(
            QStringLiteral("cannot ask the desktop to %1: no session bus (%2)")
                .arg(what, m_bus.lastError().message())));
        return;
    }

    QVariantMap options;
    options.insert(QStringLiteral("reason"),
                   QStringLiteral("%1 keeps your clipboard history from the moment you log in")
                       .arg(QLatin1String(kApplicationName)));
    options.insert(QStringLiteral("autostart"), autostart);
    options.insert(QStringLiteral("dbus-activatable"), false);
    QDBusMessage call = PortalRequest::portalCall(QLatin1String(kBackgroundInterface),
                                                  QStringLiteral("RequestBackground"));
    call << QString() << options;

    // The portal may show a dialog and wait for the user; nothing here waits with it.
    m_pending = new PortalRequest(m_bus, call, this);
    connect(m_pending, &PortalRequest::responded, this,
            [this, autostart, what](uint response, const QVariantMap &results) {
                conclude(autostart, answerTo(what, autostart, response, results));
            });
    connect(
        m_pending, &PortalRequest::failed, this, [this, autostart, what](const QDBusError &error) {
            conclude(
                autostart,
                LoginItemResult::failure(
                    QStringLiteral("the Background portal (%1) refused to %2: %3 (%4)")
                        .arg(QLatin1String(kPortalService), what, error.message(), error.name())));
        });
    auto *deadline = new QTimer(m_pending);
    deadline->setSingleShot(true);
    connect(deadline, &QTimer::timeout, this, [this, autostart] {
        conclude(autostart,
                 LoginItemResult::failure(
                     QStringLiteral("the Background portal (%1) gave no answer within %2 s; is "
                                    "xdg-desktop-portal running?")
                         .arg(QLatin1String(kPortalService))
                         .arg(m_timeout.count() / 1000.0)));
    });
    deadline->start(m_timeout);
}

LoginItemResult BackgroundPortal::answerTo(const QString &what, bool autostart, uint response,
                                           const QVariantMap &results)
{
    switch (response) {
    case PortalRequest::Success:
        break;
    case PortalRequest::Cancelled:
        return LoginItemResult::failure(
            QStringLiteral("the request to %1 was cancelled in the desktop's dialog").arg(what));
    default:
        return LoginItemResult::failure(
            QStringLiteral("the Background portal ended the request to %1 (response %2); check "
                           "the desktop's background-apps settings")
                .arg(what)
                .arg(response));
    }
    const QVariant granted = results.value(QStringLiteral("autostart"));
    if (autostart && granted.isValid() && !granted.toBool())
        return LoginItemResult::failure(
            QStringLiteral("the desktop did not allow %1 to start at login; allow it in the "
                           "desktop's background-apps settings")
                .arg(QLatin1String(kApplicationName)));
    return LoginItemResult::success();
}

void BackgroundPortal::conclude(bool autostart, const LoginItemResult &result)
{
    // The first of the answer, a failure and the deadline concludes; a later one finds nothing.
    if (!m_pending)
        return;
    // A request that timed out is closed as it goes: its dialog goes with it.
    m_pending->deleteLater();
    m_pending = nullptr;
    if (result.ok())
        m_granted = autostart;
    emit finished(result);
}

} // namespace tessary
