#pragma once

#include "loginitem.h"

#include <QLoggingCategory>
#include <QObject>
#include <functional>
#include <memory>

Q_DECLARE_LOGGING_CATEGORY(lcLaunchAtLogin)

namespace tessary {

// Where a failed change is reported: one line per failure.
using LaunchAtLoginLog = std::function<void(const QString &line)>;

// The system log (syslog, which journald receives) and the lcLaunchAtLogin category.
void writeToSystemLog(const QString &line);

// The "Open on launch" switch's model. It holds no setting of its own: the login item is the only
// record, read by refresh() (the screen calls it whenever it appears) and changed by request().
// It lives as long as the application, as a request may outlast the screen that made it.
class LaunchAtLogin : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool enabled READ isEnabled NOTIFY enabledChanged FINAL)
    Q_PROPERTY(bool busy READ isBusy NOTIFY busyChanged FINAL)
    // Where the switch stands: the state asked for while a request waits, else `enabled`.
    Q_PROPERTY(bool checked READ isChecked NOTIFY checkedChanged FINAL)

public:
    LaunchAtLogin(std::unique_ptr<LoginItem> item, LaunchAtLoginLog log, QObject *parent = nullptr);
    ~LaunchAtLogin() override;

    // True exactly when the last status read was "enabled" or the last change succeeded.
    bool isEnabled() const { return m_enabled; }
    // A change waits for its answer (the desktop may ask the user first).
    bool isBusy() const { return m_busy; }
    bool isChecked() const { return m_busy ? m_wanted : m_enabled; }

    // Reads the status afresh; only "enabled" counts as on. Never writes.
    Q_INVOKABLE void refresh();
    // Asks for starting at login to be enabled or disabled and returns at once; `busy` holds
    // until the answer. On failure the state stays as it was and one line goes to the log. A
    // request while another waits is dropped.
    Q_INVOKABLE void request(bool wanted);

    static constexpr char kLogPrefix[] = "Tessary launch-at-login error: ";

signals:
    void enabledChanged();
    void busyChanged();
    void checkedChanged();

private:
    void answered(const LoginItemResult &result);
    void assign(bool enabled);

    std::unique_ptr<LoginItem> m_item;
    LaunchAtLoginLog m_log;
    bool m_enabled = false;
    bool m_busy = false;
    bool m_wanted = false;
};

} // namespace tessary
