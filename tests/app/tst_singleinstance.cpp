// A second launch finds the running instance, asks it to show its panel and ends with 0: over a
// private session bus, and over the socket when there is no bus (also one a crash left behind).
#include "app/singleinstance.h"
#include "core/appid.h"
#include "support/privatebus.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;
using tessary::SingleInstance;

static QString readLine(QProcess &process)
{
    for (int i = 0; i < 100 && !process.canReadLine(); ++i)
        process.waitForReadyRead(100);
    return QString::fromLocal8Bit(process.readLine()).trimmed();
}

// `tst_singleinstance probe` claims the instance as the application does and says "secondary",
// or "primary <channel>" and then "activated <token>" once asked to show its panel.
static int probe()
{
    SingleInstance instance(QString::fromLatin1(tessary::kApplicationId));
    const SingleInstance::Role role = instance.claim();
    QTextStream out(stdout);
    // Alone (neither bus nor socket) says "primary " with no channel.
    out << (role == SingleInstance::Role::Secondary ? u"secondary"_s
                                                    : "primary "_L1 + instance.channel())
        << Qt::endl;
    QObject::connect(&instance, &SingleInstance::activationRequested, [&](const QString &token) {
        out << "activated " << token << Qt::endl;
        QCoreApplication::exit(0);
    });
    return role == SingleInstance::Role::Primary ? QCoreApplication::exec() : 0;
}

class SingleInstanceTest : public QObject {
    Q_OBJECT
private slots:
    void secondLaunchActivatesTheFirst_data()
    {
        QTest::addColumn<bool>("bus");
        QTest::addColumn<QString>("handedOn");
        // Over the bus the launch's token goes with it (Wayland's before X11's startup id).
        QTest::newRow("dbus") << true << u"activated wayland-token"_s;
        QTest::newRow("socket") << false << u"activated"_s;
    }

    void secondLaunchActivatesTheFirst()
    {
        QFETCH(bool, bus);
        QFETCH(QString, handedOn);
        QTemporaryDir runtime;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_RUNTIME_DIR"_s, runtime.path());
        env.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, u"unix:path=/none"_s);
        std::optional<tessary::testing::PrivateBus> daemon; // the application id must be free
        if (bus) {
            daemon.emplace();
            QVERIFY(daemon->isRunning());
            env.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, daemon->address());
        }
        const auto launch = [&](QProcess &process) {
            process.setProcessEnvironment(env);
            process.start(QCoreApplication::applicationFilePath(), {u"probe"_s});
            return readLine(process);
        };
        const QString primary = bus ? u"primary dbus"_s : u"primary socket"_s;
        if (!bus) {
            QProcess crashed;
            QCOMPARE(launch(crashed), primary);
            crashed.kill(); // leaves its socket file behind
            crashed.waitForFinished();
        }
        QProcess first, second;
        QCOMPARE(launch(first), primary);
        env.insert(u"XDG_ACTIVATION_TOKEN"_s, u"wayland-token"_s);
        env.insert(u"DESKTOP_STARTUP_ID"_s, u"x11-id_TIME42"_s);
        QCOMPARE(launch(second), u"secondary"_s);
        QVERIFY(second.waitForFinished(10000) && second.exitCode() == 0);
        QCOMPARE(readLine(first), handedOn);
        QVERIFY(first.waitForFinished(5000) && first.exitCode() == 0);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc > 1 && qstrcmp(argv[1], "probe") == 0)
        return probe();
    SingleInstanceTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"
