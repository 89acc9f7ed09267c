#include "privatebus.h"

#include <QTemporaryFile>

namespace tessary::testing {

namespace {

constexpr char kConfig[] =
    "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth>"
    "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
    "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>";
constexpr int kStartTimeoutMs = 10000;

} // namespace

PrivateBus::PrivateBus()
{
    QTemporaryFile config;
    if (!config.open() || config.write(kConfig) < 0 || !config.flush())
        return;
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--config-file=") + config.fileName(),
                    QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    // The daemon has read its configuration once it prints where it listens.
    while (!m_daemon.canReadLine() && m_daemon.waitForReadyRead(kStartTimeoutMs)) {
    }
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
}

QDBusConnection PrivateBus::connect()
{
    // Named after the bus too: a test may start more than one bus, one after the other.
    return QDBusConnection::connectToBus(
        m_address, QStringLiteral("%1 #%2").arg(m_address).arg(++m_connections));
}

PrivateBus::~PrivateBus()
{
    m_daemon.terminate();
    m_daemon.waitForFinished();
}

} // namespace tessary::testing
