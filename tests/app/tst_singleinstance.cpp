// A second launch finds the running instance, asks it to show its panel and ends with 0: over
// a private session bus, and over the socket when there is no bus.
#include "core/appid.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void secondLaunchActivatesTheFirst_data();
    void secondLaunchActivatesTheFirst();
    void socketLeftByACrashIsTakenOver();
    void secondTessaryEndsAtOnce();

private:
    QProcessEnvironment environment(bool bus) const;
    static QString readLine(QProcess &process);

    QProcess m_bus;
    QString m_busAddress;
    QTemporaryDir m_runtime;
};

void SingleInstanceTest::initTestCase()
{
    QVERIFY(m_runtime.isValid());
    QVERIFY(QFile::setPermissions(m_runtime.path(), QFileDevice::ReadOwner |
                                                        QFileDevice::WriteOwner |
                                                        QFileDevice::ExeOwner));
    // A bus of our own: the application id must be free, whatever else runs in the session.
    m_bus.start(QStringLiteral("dbus-daemon"),
                {QStringLiteral("--session"), QStringLiteral("--nofork"),
                 QStringLiteral("--print-address=1")});
    QVERIFY(m_bus.waitForStarted());
    m_busAddress = readLine(m_bus);
    QVERIFY2(!m_busAddress.isEmpty(), "dbus-daemon gave no address");
}

void SingleInstanceTest::cleanupTestCase()
{
    m_bus.terminate();
    m_bus.waitForFinished();
}

QProcessEnvironment SingleInstanceTest::environment(bool bus) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"),
               bus ? m_busAddress : QStringLiteral("unix:path=/nonexistent/tessary-test-bus"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

QString SingleInstanceTest::readLine(QProcess &process)
{
    for (int i = 0; i < 100 && !process.canReadLine(); ++i)
        process.waitForReadyRead(100);
    return QString::fromLocal8Bit(process.readLine()).trimmed();
}

void SingleInstanceTest::secondLaunchActivatesTheFirst_data()
{
    QTest::addColumn<bool>("bus");
    QTest::addColumn<QString>("channel");
    QTest::newRow("session bus") << true << QStringLiteral("dbus");
    QTest::newRow("no bus: socket") << false << QStringLiteral("socket");
}

void SingleInstanceTest::secondLaunchActivatesTheFirst()
{
    QFETCH(bool, bus);
    QFETCH(QString, channel);
    QProcess first;
    first.setProcessEnvironment(environment(bus));
    first.start(QStringLiteral(PROBE_PATH));
    QCOMPARE(readLine(first), QStringLiteral("primary ") + channel);

    QProcess second;
    second.setProcessEnvironment(environment(bus));
    second.start(QStringLiteral(PROBE_PATH));
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 0);
    QCOMPARE(QString::fromLocal8Bit(second.readAllStandardOutput()).trimmed(),
             QStringLiteral("secondary"));

    QCOMPARE(readLine(first), QStringLiteral("activated"));
    QVERIFY(first.waitForFinished(5000));
    QCOMPARE(first.exitCode(), 0);
}

void SingleInstanceTest::socketLeftByACrashIsTakenOver()
{
    QProcess crashed;
    crashed.setProcessEnvironment(environment(false));
    crashed.start(QStringLiteral(PROBE_PATH));
    QCOMPARE(readLine(crashed), QStringLiteral("primary socket"));
    crashed.kill(); // leaves its socket file behind
    crashed.waitForFinished();

    QProcess next;
    next.setProcessEnvironment(environment(false));
    next.start(QStringLiteral(PROBE_PATH));
    QCOMPARE(readLine(next), QStringLiteral("primary socket"));
    next.kill();
    next.waitForFinished();
}

void SingleInstanceTest::secondTessaryEndsAtOnce()
{
    QProcess first;
    first.setProcessEnvironment(environment(true));
    first.start(QStringLiteral(TESSARY_PATH));
    QVERIFY(first.waitForStarted());
    QDBusConnection bus =
        QDBusConnection::connectToBus(m_busAddress, QStringLiteral("single-instance-test"));
    QVERIFY(bus.isConnected());
    const QString id = QString::fromLatin1(tessary::kApplicationId);
    QTRY_VERIFY_WITH_TIMEOUT(bus.interface()->isServiceRegistered(id), 10000);

    QProcess second;
    second.setProcessEnvironment(environment(true));
    QElapsedTimer timer;
    timer.start();
    second.start(QStringLiteral(TESSARY_PATH));
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QVERIFY(first.state() == QProcess::Running);

    first.terminate();
    QVERIFY(first.waitForFinished(5000));
    QDBusConnection::disconnectFromBus(QStringLiteral("single-instance-test"));
}

QTEST_GUILESS_MAIN(SingleInstanceTest)
#include "tst_singleinstance.moc"
