#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>

namespace tessary::testing {

// A session bus of the test's own: a dbus-daemon that lets anyone own any name and starts no
// services (so a thumbnailer or portal installed on the machine stays out of the test). Stopped
// when this goes.
class PrivateBus {
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    bool isRunning() const { return !m_address.isEmpty(); }
    // The address to connect to, e.g. for DBUS_SESSION_BUS_ADDRESS.
    QString address() const { return m_address; }
    // A connection of its own, as another process would have: a fake service, or a client of
    // one. Disconnected from the bus once every copy has gone.
    QDBusConnection connect();

private:
    QProcess m_daemon;
    QString m_address;
    int m_connections = 0;
};

} // namespace tessary::testing
