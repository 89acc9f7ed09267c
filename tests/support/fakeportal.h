#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QObject>
#include <QVariantMap>

namespace tessary::testing {

// The desktop's Background portal as xdg-desktop-portal answers: a Request handle made from the
// caller's name and handle_token, and a Response signal on it, which may arrive before the reply,
// a while after it, or never. Owns the portal's well-known name on `bus` while it lives.
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
