#pragma once

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QObject>
#include <QVariantMap>

namespace tessary {

// The desktop portal's service and object, as every portal interface is reached.
inline constexpr char kPortalService[] = "org.freedesktop.portal.Desktop";
inline constexpr char kPortalPath[] = "/org/freedesktop/portal/desktop";

// A call to a portal method that answers through a Request object (the freedesktop portal
// Request interface): the reply brings the request's handle, the Response signal on it the
// outcome, which may come before the reply. The handle is known beforehand from our bus name
// and a token, so the signal is listened for before the call is sent. Nothing waits: the
// outcome arrives as a signal, at most once.
class PortalRequest : public QObject {
    Q_OBJECT
public:
    // Response codes the portal sends.
    enum Response : uint { Success = 0, Cancelled = 1, Ended = 2 };

    // Sends `call`, whose last argument is its options vardict; a handle_token is added to it.
    PortalRequest(QDBusConnection bus, QDBusMessage call, QObject *parent = nullptr);
    // A request still open is closed: its dialog, if any, goes away.
    ~PortalRequest() override;

    static QDBusMessage portalCall(const QString &interface, const QString &method);

signals:
    void responded(uint response, const QVariantMap &results);
    // The call itself failed: no portal, no such interface, or the portal refused it.
    void failed(const QDBusError &error);

private slots:
    void onResponse(uint response, const QVariantMap &results);

private:
    void listen(const QString &handle, bool on);

    QDBusConnection m_bus;
    QString m_handle;
    bool m_done = false;
};

} // namespace tessary
