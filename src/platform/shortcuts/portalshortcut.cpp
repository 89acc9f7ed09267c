#include "portalshortcut.h"

#include "core/appid.h"
#include "platform/portal/portalrequest.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <algorithm>

Q_LOGGING_CATEGORY(lcPortalShortcut, "tessary.shortcut.portal", QtInfoMsg)

namespace tessary {
namespace {

constexpr char kInterface[] = "org.freedesktop.portal.GlobalShortcuts";

QString interfaceName()
{
    return QLatin1String(kInterface);
}

} // namespace

QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcutEntry &entry)
{
    argument.beginStructure();
    argument << entry.id << entry.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcutEntry &entry)
{
    argument.beginStructure();
    argument >> entry.id >> entry.properties;
    argument.endStructure();
    return argument;
}

PortalShortcut::PortalShortcut(QDBusConnection bus, QString id, QString description,
                               QString trigger, QObject *parent)
    : QObject(parent), m_bus(std::move(bus)), m_id(std::move(id)),
      m_description(std::move(description)), m_trigger(std::move(trigger))
{
    qDBusRegisterMetaType<PortalShortcutEntry>();
    qDBusRegisterMetaType<QList<PortalShortcutEntry>>();
}

PortalShortcut::~PortalShortcut()
{
    if (!m_session.isEmpty())
        m_bus.asyncCall(QDBusMessage::createMethodCall(
            QLatin1String(kPortalService), m_session,
            QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Close")));
}

void PortalShortcut::start()
{
    if (m_state != State::Idle)
        return;
    if (!m_bus.isConnected()) {
        setState(State::Unavailable);
        return;
    }
    setState(State::Probing);
    // A program outside a sandbox tells the portal who it is first (xdg-desktop-portal 1.19 and
    // later; older ones do not know the call, and a sandbox knows already): the desktop files
    // shortcuts under the application's id.
    QDBusMessage registration = QDBusMessage::createMethodCall(
        QLatin1String(kPortalService), QLatin1String(kPortalPath),
        QStringLiteral("org.freedesktop.host.portal.Registry"), QStringLiteral("Register"));
    registration << QLatin1String(kApplicationId) << QVariantMap();
    m_bus.asyncCall(registration);
    QDBusMessage get = QDBusMessage::createMethodCall(
        QLatin1String(kPortalService), QLatin1String(kPortalPath),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << interfaceName() << QStringLiteral("version");
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(get), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusVariant> reply = *watcher;
        if (reply.isError()) {
            qCDebug(lcPortalShortcut) << "no global shortcuts portal:" << reply.error().message();
            setState(State::Unavailable);
            return;
        }
        m_version = reply.value().variant().toUInt();
        createSession();
    });
}

void PortalShortcut::createSession()
{
    setState(State::Binding);
    QDBusMessage call = PortalRequest::portalCall(interfaceName(), QStringLiteral("CreateSession"));
    call << QVariantMap{{QStringLiteral("session_handle_token"),
                         QStringLiteral("tessary%1").arg(QRandomGenerator::global()->generate())}};
    m_request = new PortalRequest(m_bus, call, this);
    connect(m_request, &PortalRequest::failed, this, [this](const QDBusError &error) {
        setState(State::Refused,
                 tr("the desktop could not start a shortcut session: %1").arg(error.message()));
    });
    connect(m_request, &PortalRequest::responded, this,
            [this](uint response, const QVariantMap &results) {
                m_request->deleteLater();
                m_session = results.value(QStringLiteral("session_handle")).toString();
                if (response != PortalRequest::Success || m_session.isEmpty()) {
                    setState(State::Refused, tr("the desktop declined a shortcut session"));
                    return;
                }
                // Listen before binding: a press may follow the bind's answer at once.
                m_bus.connect(QLatin1String(kPortalService), QLatin1String(kPortalPath),
                              interfaceName(), QStringLiteral("Activated"), this,
                              SLOT(onActivated(QDBusObjectPath, QString, qulonglong, QVariantMap)));
                m_bus.connect(QLatin1String(kPortalService), QLatin1String(kPortalPath),
                              interfaceName(), QStringLiteral("ShortcutsChanged"), this,
                              SLOT(onShortcutsChanged(QDBusMessage)));
                bind();
            });
}

void PortalShortcut::bind()
{
    QDBusMessage call = PortalRequest::portalCall(interfaceName(), QStringLiteral("BindShortcuts"));
    const PortalShortcutEntry shortcut{m_id,
                                       {{QStringLiteral("description"), m_description},
                                        {QStringLiteral("preferred_trigger"), m_trigger}}};
    call << QVariant::fromValue(QDBusObjectPath(m_session))
         << QVariant::fromValue(QList<PortalShortcutEntry>{shortcut}) << QString() << QVariantMap();
    m_request = new PortalRequest(m_bus, call, this);
    connect(m_request, &PortalRequest::failed, this, [this](const QDBusError &error) {
        setState(State::Refused,
                 tr("the desktop could not bind the shortcut: %1").arg(error.message()));
    });
    connect(m_request, &PortalRequest::responded, this,
            [this](uint response, const QVariantMap &results) {
                m_request->deleteLater();
                if (response == PortalRequest::Cancelled) {
                    setState(State::Refused, tr("it was declined in the desktop's dialog"));
                    return;
                }
                if (response != PortalRequest::Success) {
                    setState(State::Refused, tr("the desktop did not bind it"));
                    return;
                }
                takeBoundShortcuts(qdbus_cast<QList<PortalShortcutEntry>>(
                    results.value(QStringLiteral("shortcuts")).value<QDBusArgument>()));
            });
}

void PortalShortcut::configure(const QString &activationToken)
{
    if (!canConfigure())
        return;
    QDBusMessage call =
        PortalRequest::portalCall(interfaceName(), QStringLiteral("ConfigureShortcuts"));
    QVariantMap options;
    if (!activationToken.isEmpty())
        options.insert(QStringLiteral("activation_token"), activationToken);
    call << QVariant::fromValue(QDBusObjectPath(m_session)) << QString() << options;
    m_bus.asyncCall(call);
}

void PortalShortcut::onActivated(const QDBusObjectPath &session, const QString &id, qulonglong,
                                 const QVariantMap &options)
{
    if (session.path() != m_session || id != m_id)
        return;
    emit activated(options.value(QStringLiteral("activation_token")).toString());
}

void PortalShortcut::onShortcutsChanged(const QDBusMessage &message)
{
    const QList<QVariant> arguments = message.arguments();
    if (arguments.size() < 2 || arguments.at(0).value<QDBusObjectPath>().path() != m_session)
        return;
    takeBoundShortcuts(
        qdbus_cast<QList<PortalShortcutEntry>>(arguments.at(1).value<QDBusArgument>()));
}

void PortalShortcut::takeBoundShortcuts(const QList<PortalShortcutEntry> &shortcuts)
{
    const auto ours = std::find_if(shortcuts.cbegin(), shortcuts.cend(),
                                   [this](const PortalShortcutEntry &s) { return s.id == m_id; });
    if (ours == shortcuts.cend()) {
        m_triggerDescription.clear();
        setState(State::Refused, tr("the desktop did not bind it"));
        return;
    }
    m_triggerDescription = ours->properties.value(QStringLiteral("trigger_description")).toString();
    const bool wasBound = m_state == State::Bound;
    setState(State::Bound);
    if (wasBound)
        emit stateChanged(); // the keys changed
}

void PortalShortcut::setState(State state, const QString &problem)
{
    if (!problem.isEmpty() && problem != m_problem)
        qCWarning(lcPortalShortcut).noquote() << "global shortcut:" << problem;
    m_problem = problem;
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged();
}

} // namespace tessary
