#include "fakeportal.h"

#include <QTimer>

namespace tessary::testing {

QString portalHandle(const QDBusMessage &call, const QString &kind, const QString &token)
{
    return kPortalPath + '/' + kind + '/' + call.service().mid(1).replace('.', '_') + '/' + token;
}

QDBusObjectPath respondToPortalRequest(QObject *context, QDBusConnection bus,
                                       const QDBusMessage &call, const QVariantMap &options,
                                       int response, const QVariantMap &results, int delayMs,
                                       bool responseFirst)
{
    const QString handle =
        portalHandle(call, QStringLiteral("request"), options.value("handle_token").toString());
    QDBusMessage signal =
        QDBusMessage::createSignal(handle, "org.freedesktop.portal.Request", "Response");
    signal << uint(response) << results;
    const bool answers = response >= 0;
    if (answers && responseFirst)
        bus.send(signal);
    call.setDelayedReply(true);
    bus.send(call.createReply(QVariant::fromValue(QDBusObjectPath(handle))));
    if (answers && !responseFirst && delayMs > 0)
        QTimer::singleShot(delayMs, context, [bus, signal]() mutable { bus.send(signal); });
    else if (answers && !responseFirst)
        bus.send(signal);
    return {};
}

FakeBackgroundPortal::FakeBackgroundPortal(QDBusConnection bus) : m_bus(std::move(bus))
{
    m_registered = m_bus.registerObject(kPortalPath, this, QDBusConnection::ExportAllSlots) &&
                   m_bus.registerService(kPortalService);
}

FakeBackgroundPortal::~FakeBackgroundPortal()
{
    unregister();
    m_bus.unregisterObject(kPortalPath);
}

void FakeBackgroundPortal::unregister()
{
    if (m_registered)
        m_bus.unregisterService(kPortalService);
    m_registered = false;
}

QDBusObjectPath FakeBackgroundPortal::RequestBackground(const QString &, const QVariantMap &options,
                                                        const QDBusMessage &message)
{
    request = options;
    return respondToPortalRequest(this, m_bus, message, options, response, results, answerAfterMs,
                                  responseFirst);
}

} // namespace tessary::testing
