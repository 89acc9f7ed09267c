#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QObject>
#include <QVariantMap>

namespace tessary::testing {

inline const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
inline const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");

// The object path xdg-desktop-portal gives a request or session ("request", "session") the
// caller of CALL made with TOKEN.
QString portalHandle(const QDBusMessage &call, const QString &kind, const QString &token);

// Answers CALL as xdg-desktop-portal does: the reply holds the Request handle for the
// handle_token in OPTIONS, and the Request's Response signal carries RESPONSE and RESULTS. The
// signal goes out before the reply (responseFirst), after it, DELAYMS after it while CONTEXT
// lives, or never (a negative RESPONSE). Returns what the called slot returns.
QDBusObjectPath respondToPortalRequest(QObject *context, QDBusConnection bus,
                                       const QDBusMessage &call, const QVariantMap &options,
                                       int response, const QVariantMap &results, int delayMs = 0,
                                       bool responseFirst = false);

// The desktop's Background portal, whose Response may arrive before the reply, a while after it,
// or never. Owns the portal's well-known name on `bus` while it lives.
class FakeBackgroundPortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Background")

public:
    static constexpr int kNever = -1;

    explicit FakeBackgroundPortal(QDBusConnection bus);
    ~FakeBackgroundPortal() override;

    bool isRegistered() const { return m_registered; }
    // Gives the portal's name up, as if none ran.
    void unregister();

    int response = 0; // kNever: no Response at all
    bool responseFirst = false;
    int answerAfterMs = 0; // the user takes this long in the portal's dialog
    QVariantMap results;
    QVariantMap request; // the options of the last request

public slots:
    QDBusObjectPath RequestBackground(const QString &window, const QVariantMap &options,
                                      const QDBusMessage &message);

private:
    QDBusConnection m_bus;
    bool m_registered = false;
};

} // namespace tessary::testing
