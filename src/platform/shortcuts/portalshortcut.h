#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QObject>
#include <QPointer>
#include <QString>

namespace tessary {

class PortalRequest;

// One element of the portal's shortcut lists, a(sa{sv}): an id with its properties
// (description and preferred_trigger when binding; description and trigger_description back).
struct PortalShortcutEntry {
    QString id;
    QVariantMap properties;
};
QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcutEntry &entry);
const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcutEntry &entry);

// One global shortcut through the desktop portal's GlobalShortcuts interface (Plasma 5.27 and
// later, GNOME 48 and later, Hyprland): a session is made and the shortcut bound in it; the
// desktop may ask the user first, and the user picks the keys in the desktop's own settings or
// dialog. Every call is asynchronous; state changes are signalled.
class PortalShortcut : public QObject {
    Q_OBJECT
public:
    enum class State {
        Idle,        // not started
        Probing,     // asking whether the portal offers global shortcuts
        Unavailable, // it does not (or there is no portal)
        Binding,     // making the session and binding, maybe waiting on the user
        Bound,       // the shortcut works
        Refused,     // the user or the desktop declined it
    };
    Q_ENUM(State)

    // `trigger` is the shortcut asked for, in the freedesktop shortcuts specification's form.
    PortalShortcut(QDBusConnection bus, QString id, QString description, QString trigger,
                   QObject *parent = nullptr);
    ~PortalShortcut() override;

    // Asks whether the portal offers global shortcuts and, if it does, binds the shortcut.
    void start();

    State state() const { return m_state; }
    // How the desktop says the shortcut is pressed ("Meta+Shift+V"); may be empty when bound.
    QString triggerDescription() const { return m_triggerDescription; }
    // Why the shortcut is not bound, for the user and the log.
    QString problem() const { return m_problem; }
    // Whether the portal has its own dialog to change the shortcut (interface version 2).
    bool canConfigure() const { return m_version >= 2 && !m_session.isEmpty(); }
    // Opens that dialog; `activationToken` lets it take the focus on Wayland.
    void configure(const QString &activationToken = {});

signals:
    void stateChanged();
    // The shortcut was pressed. The token, when the portal sends one, lets a window take the
    // focus on Wayland.
    void activated(const QString &activationToken);

private slots:
    void onActivated(const QDBusObjectPath &session, const QString &id, qulonglong timestamp,
                     const QVariantMap &options);
    void onShortcutsChanged(const QDBusMessage &message);

private:
    void createSession();
    void bind();
    void setState(State state, const QString &problem = {});
    void takeBoundShortcuts(const QList<PortalShortcutEntry> &shortcuts);

    QDBusConnection m_bus;
    QString m_id, m_description, m_trigger;
    State m_state = State::Idle;
    uint m_version = 0;
    QString m_session;
    QString m_triggerDescription;
    QString m_problem;
    QPointer<PortalRequest> m_request;
};

} // namespace tessary

Q_DECLARE_METATYPE(tessary::PortalShortcutEntry)
