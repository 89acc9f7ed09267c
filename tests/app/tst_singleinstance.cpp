// A second launch finds the running instance, asks it to show its panel and ends with 0: over a
// private session bus, and over the socket when there is no bus (also one a crash left behind).
#include "app/singleinstance.h"
#include "core/appid.h"
#include "support/privatebus.h"

#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <sys/resource.h>

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

    // Without a bus, anyone of the user may connect to the socket and hold the connection open,
    // more connections than the instance may open descriptors, or write endlessly: the instance
    // goes on listening, and the next launch still finds it.
    void connectionsHeldOpenCannotDisableTheSocket()
    {
        QTemporaryDir runtime;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"XDG_RUNTIME_DIR"_s, runtime.path());
        env.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, u"unix:path=/none"_s);
        QProcess first, second;
        first.setProcessEnvironment(env);
        second.setProcessEnvironment(env);
        // The running instance may open only so many descriptors.
        first.setChildProcessModifier([] {
            const rlimit limit{64, 64};
            ::setrlimit(RLIMIT_NOFILE, &limit);
        });
        first.start(QCoreApplication::applicationFilePath(), {u"probe"_s});
        QCOMPARE(readLine(first), u"primary socket"_s);

        const QString name =
            runtime.filePath(u"tessary/"_s + QLatin1String(tessary::kApplicationId) + u".socket"_s);
        std::vector<std::unique_ptr<QLocalSocket>> held;
        for (int i = 0; i < 200; ++i) {
            held.push_back(std::make_unique<QLocalSocket>());
            held.back()->connectToServer(name);
            QVERIFY2(held.back()->waitForConnected(1000),
                     qPrintable(QString::number(i) + held.back()->errorString()));
            if (i % 2) // half of them write without ever ending a line
                held.back()->write(QByteArray(100, 'x'));
        }
        // Each one is let go.
        QTRY_VERIFY_WITH_TIMEOUT(std::all_of(held.cbegin(), held.cend(),
                                             [](const auto &socket) {
                                                 return socket->state() ==
                                                        QLocalSocket::UnconnectedState;
                                             }),
                                 20000);

        second.start(QCoreApplication::applicationFilePath(), {u"probe"_s});
        QCOMPARE(readLine(second), u"secondary"_s);
        QCOMPARE(readLine(first), u"activated"_s);
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
