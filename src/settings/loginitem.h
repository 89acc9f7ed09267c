#pragma once

#include <QObject>
#include <QString>
#include <memory>

namespace tessary {

// Whether the application starts when the user logs in, as the desktop records it.
enum class LoginItemStatus {
    Enabled,       // registered and active
    NotRegistered, // nothing registered under our name
    Disabled,      // registered but switched off (hidden, or disabled by the desktop)
    Broken,        // registered, but the program it names is gone
    NotOurs,       // an entry of our name exists that does not start this application
    Unknown,       // the record cannot be read
};

// Success, or a description of what went wrong that a person can act on (path and reason).
class LoginItemResult {
public:
    static LoginItemResult success() { return {}; }
    static LoginItemResult failure(QString description)
    {
        return LoginItemResult(std::move(description));
    }

    bool ok() const { return !m_failed; }
    const QString &error() const { return m_error; }

private:
    LoginItemResult() = default;
    explicit LoginItemResult(QString description) : m_failed(true), m_error(std::move(description))
    {}

    bool m_failed = false;
    QString m_error;
};

// The desktop's record of "start this application at login". Reading it is quick; a change may
// wait for the user (the desktop can ask first), so it is asked for and answered by a signal.
class LoginItem : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    virtual LoginItemStatus status() = 0;
    // Asks for starting at login to be switched on (true) or off. `finished` follows exactly
    // once, possibly before this returns. A request made while another waits fails.
    virtual void request(bool enabled) = 0;

signals:
    void finished(const tessary::LoginItemResult &result);
};

// The login item for the environment we run in: the Background portal inside a Flatpak sandbox
// (recognised by the presence of flatpakInfoPath), else XDG autostart.
std::unique_ptr<LoginItem>
createLoginItem(const QString &flatpakInfoPath = QStringLiteral("/.flatpak-info"));

} // namespace tessary
