#include "backgroundportal.h"

#include "core/appid.h"
#include "desktopentry.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTimer>

namespace tessary {

namespace {

constexpr char kPortalService[] = "org.freedesktop.portal.Desktop";
constexpr char kPortalPath[] = "/org/freedesktop/portal/desktop";
constexpr char kBackgroundInterface[] = "org.freedesktop.portal.Background";
constexpr char kRequestInterface[] = "org.freedesktop.portal.Request";

QString sandboxAppId()
{
    const QString id = qEnvironmentVariable("FLATPAK_ID");
    return id.isEmpty() ? QLatin1String(kApplicationId) : id;
}

// Catches the Request object's Response signal.
class ResponseCatcher : public QObject {
    Q_OBJECT
public:
    std::optional<uint> response;
    QVariantMap results;

signals:
    void arrived();

public slots:
    void onResponse(uint code, const QVariantMap &values)
    {
        if (response)
            return;
        response = code;
        results = values;
        emit arrived();
    }
};

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

LoginItemResult BackgroundPortal::request(bool autostart)
{
    const QString what =
        autostart ? QStringLiteral("start at login") : QStringLiteral("stop starting at login");
    if (!m_bus.isConnected())
        return LoginItemResult::failure(
            QStringLiteral("cannot ask the desktop to %1: no session bus (%2)")
                .arg(what, m_bus.lastError().message()));

    // Subscribe before asking: the Response may be sent before the method reply arrives. The
    // handle's path is predictable from our bus name and the token.
    const QString token = QStringLiteral("tessary%1").arg(QRandomGenerator::global()->generate());
    QString sender = m_bus.baseService().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    QString handle =
        QStringLiteral("%1/request/%2/%3").arg(QLatin1String(kPortalPath), sender, token);

    ResponseCatcher catcher;
    const auto subscribe = [&](const QString &path, bool on) {
        const QString service = QLatin1String(kPortalService);
        const QString interface = QLatin1String(kRequestInterface);
        const QString name = QStringLiteral("Response");
        const char *slot = SLOT(onResponse(uint, QVariantMap));
        if (on)
            m_bus.connect(service, path, interface, name, &catcher, slot);
        else
            m_bus.disconnect(service, path, interface, name, &catcher, slot);
    };
    subscribe(handle, true);

    QVariantMap options;
    options.insert(QStringLiteral("handle_token"), token);
    options.insert(QStringLiteral("reason"),
                   QStringLiteral("%1 keeps your clipboard history from the moment you log in")
                       .arg(QLatin1String(kApplicationName)));
    options.insert(QStringLiteral("autostart"), autostart);
    options.insert(QStringLiteral("dbus-activatable"), false);
    QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(kPortalService), QLatin1String(kPortalPath),
        QLatin1String(kBackgroundInterface), QStringLiteral("RequestBackground"));
    call << QString() << options;

    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&catcher, &ResponseCatcher::arrived, &loop, &QEventLoop::quit);
    QDBusPendingCallWatcher watcher(m_bus.asyncCall(call, int(m_timeout.count())));
    QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
    deadline.start(m_timeout);

    // The portal may show a dialog; meanwhile our own windows repaint but take no input.
    while (!watcher.isFinished() && deadline.isActive())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    QDBusPendingReply<QDBusObjectPath> reply = watcher;
    if (watcher.isFinished() && reply.isError()) {
        subscribe(handle, false);
        return LoginItemResult::failure(
            QStringLiteral("the Background portal (%1) refused to %2: %3 (%4)")
                .arg(QLatin1String(kPortalService), what, reply.error().message(),
                     reply.error().name()));
    }
    if (watcher.isFinished() && reply.value().path() != handle && !catcher.response) {
        // An older portal that ignores handle_token.
        subscribe(handle, false);
        handle = reply.value().path();
        subscribe(handle, true);
    }
    while (!catcher.response && deadline.isActive())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    subscribe(handle, false);

    if (!catcher.response) {
        m_bus.asyncCall(QDBusMessage::createMethodCall(QLatin1String(kPortalService), handle,
                                                       QLatin1String(kRequestInterface),
                                                       QStringLiteral("Close")));
        return LoginItemResult::failure(
            QStringLiteral("the Background portal (%1) gave no answer within %2 s; is "
                           "xdg-desktop-portal running?")
                .arg(QLatin1String(kPortalService))
                .arg(m_timeout.count() / 1000.0));
    }
    switch (*catcher.response) {
    case 0:
        break;
    case 1:
        return LoginItemResult::failure(
            QStringLiteral("the request to %1 was cancelled in the desktop's dialog").arg(what));
    default:
        return LoginItemResult::failure(
            QStringLiteral("the Background portal ended the request to %1 (response %2); check "
                           "the desktop's background-apps settings")
                .arg(what)
                .arg(*catcher.response));
    }
    const QVariant granted = catcher.results.value(QStringLiteral("autostart"));
    if (autostart && granted.isValid() && !granted.toBool())
        return LoginItemResult::failure(
            QStringLiteral("the desktop did not allow %1 to start at login; allow it in the "
                           "desktop's background-apps settings")
                .arg(QLatin1String(kApplicationName)));
    m_granted = autostart;
    return LoginItemResult::success();
}

} // namespace tessary

#include "backgroundportal.moc"
