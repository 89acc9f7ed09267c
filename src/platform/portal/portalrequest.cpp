#include "portalrequest.h"

#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QRandomGenerator>

namespace tessary {
namespace {

constexpr char kRequestInterface[] = "org.freedesktop.portal.Request";

} // namespace

PortalRequest::PortalRequest(QDBusConnection bus, QDBusMessage call, QObject *parent)
    : QObject(parent), m_bus(std::move(bus))
{
    if (!m_bus.isConnected()) {
        // Said once the caller has connected to the signals.
        m_done = true;
        QMetaObject::invokeMethod(
            this, [this] { emit failed(m_bus.lastError()); }, Qt::QueuedConnection);
        return;
    }
    const QString token = QStringLiteral("tessary%1").arg(QRandomGenerator::global()->generate());
    QString sender = m_bus.baseService().mid(1);
    sender.replace(u'.', u'_');
    m_handle = QStringLiteral("%1/request/%2/%3").arg(QLatin1String(kPortalPath), sender, token);
    listen(m_handle, true);

    QList<QVariant> arguments = call.arguments();
    QVariantMap options = arguments.isEmpty() ? QVariantMap() : arguments.last().toMap();
    options.insert(QStringLiteral("handle_token"), token);
    if (!arguments.isEmpty())
        arguments.last() = options;
    call.setArguments(arguments);

    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher] {
        watcher->deleteLater();
        const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
        if (m_done)
            return;
        if (reply.isError()) {
            m_done = true;
            listen(m_handle, false);
            emit failed(reply.error());
        } else if (reply.value().path() != m_handle) {
            // An older portal that ignores handle_token.
            listen(m_handle, false);
            m_handle = reply.value().path();
            listen(m_handle, true);
        }
    });
}

PortalRequest::~PortalRequest()
{
    if (m_done)
        return;
    listen(m_handle, false);
    m_bus.asyncCall(QDBusMessage::createMethodCall(QLatin1String(kPortalService), m_handle,
                                                   QLatin1String(kRequestInterface),
                                                   QStringLiteral("Close")));
}

QDBusMessage PortalRequest::portalCall(const QString &interface, const QString &method)
{
    return QDBusMessage::createMethodCall(QLatin1String(kPortalService), QLatin1String(kPortalPath),
                                          interface, method);
}

void PortalRequest::onResponse(uint response, const QVariantMap &results)
{
    if (m_done)
        return;
    m_done = true;
    listen(m_handle, false);
    emit responded(response, results);
}

void PortalRequest::listen(const QString &handle, bool on)
{
    const QString service = QLatin1String(kPortalService);
    const QString interface = QLatin1String(kRequestInterface);
    const QString name = QStringLiteral("Response");
    const char *slot = SLOT(onResponse(uint, QVariantMap));
    if (on)
        m_bus.connect(service, handle, interface, name, this, slot);
    else
        m_bus.disconnect(service, handle, interface, name, this, slot);
}

} // namespace tessary
