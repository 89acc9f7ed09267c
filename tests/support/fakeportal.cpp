#include "fakeportal.h"

#include <QTimer>

namespace tessary::testing {

namespace {
const QString kService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPath = QStringLiteral("/org/freedesktop/portal/desktop");
} // namespace

FakeBackgroundPortal::FakeBackgroundPortal(QDBusConnection bus) : m_bus(std::move(bus))
{
    m_registered = m_bus.registerObject(kPath, this, QDBusConnection::ExportAllSlots) &&
                   m_bus.registerService(kService);
}

FakeBackgroundPortal::~FakeBackgroundPortal()
{
    unregister();
    m_bus.unregisterObject(kPath);
}

void FakeBackgroundPortal::unregister()
{
    if (m_registered)
        m_bus.unregisterService(kService);
    m_registered = false;
}

QDBusObjectPath FakeBackgroundPortal::RequestBackground(const QString &, const QVariantMap &options,
                                                        const QDBusMessage &message)
{
    request = options;
    QString sender = message.service().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString handle = kPath + QLatin1String("/request/") + sender + QLatin1Char('/') +
                           options.value(QStringLiteral("handle_token")).toString();
    QDBusMessage signal = QDBusMessage::createSignal(
        handle, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"));
    signal << uint(response) << results;
    const bool answers = response != kNever;
    if (answers && responseFirst)
        m_bus.send(signal);
    message.setDelayedReply(true);
    m_bus.send(message.createReply(QVariant::fromValue(QDBusObjectPath(handle))));
    if (answers && !responseFirst) {
        if (answerAfterMs > 0)
            QTimer::singleShot(answerAfterMs, this, [this, signal] { m_bus.send(signal); });
        else
            m_bus.send(signal);
    }
    return {};
}

} // namespace tessary::testing
