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
// record, read by refresh() (the screen calls it whenever it appears) and written by setEnabled().
class LaunchAtLogin : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool enabled READ isEnabled WRITE setEnabled NOTIFY enabledChanged FINAL)
    Q_PROPERTY(bool busy READ isBusy NOTIFY busyChanged FINAL)

public:
    LaunchAtLogin(std::shared_ptr<LoginItem> item, LaunchAtLoginLog log, QObject *parent = nullptr);
    ~LaunchAtLogin() override;

    // True exactly when the last status read was "enabled" or the last change succeeded.
    bool isEnabled() const { return m_enabled; }
    // A change is in progress (a portal request may wait for the user).
    bool isBusy() const { return m_busy; }

    // Reads the status afresh; only "enabled" counts as on. Never writes.
    Q_INVOKABLE void refresh();
    // Enables or disables starting at login. On failure the state stays as it was and one line
    // goes to the log.
    void setEnabled(bool wanted);

    static constexpr char kLogPrefix[] = "Tessary launch-at-login error: ";

signals:
    void enabledChanged();
    void busyChanged();

private:
    void assign(bool enabled);
    void setBusy(bool busy);

    std::shared_ptr<LoginItem> m_item;
    LaunchAtLoginLog m_log;
    bool m_enabled = false;
    bool m_busy = false;
};

} // namespace tessary
