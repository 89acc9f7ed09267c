// Tessary as its users run it, a process of its own on an X server of the test's, in sessions
// that go wrong: no session bus, no tray, a home that cannot be written, the X server going
// away. And what it never leaves behind: the history on disk, a core dump.

#include "platform/clientprocess.h"
#include "platform/x11testsupport.h"
#include "support/privatebus.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace tessary::testing;

namespace {

// The environment of a session of the test's own: its X server, a bus or none, and a home,
// runtime directory and working directory inside `root`.
QProcessEnvironment sessionEnvironment(const QString &root, const QString &home, const QString &bus)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME",
                             "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    env.insert(u"HOME"_s, home);
    env.insert(u"XDG_RUNTIME_DIR"_s, root + u"/runtime"_s);
    env.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, bus.isEmpty() ? u"unix:path=/none"_s : bus);
    env.insert(u"DISPLAY"_s, QString::fromLatin1(qgetenv("DISPLAY")));
    env.insert(u"QT_QUICK_BACKEND"_s, u"software"_s);
    return env;
}

// Tessary running in such a session.
class RunningApp {
public:
    RunningApp(const QString &root, const QProcessEnvironment &env,
               std::function<void()> childSetup = {})
        : m_env(env)
    {
        QDir().mkpath(root + u"/runtime"_s);
        QFile::setPermissions(root + u"/runtime"_s,
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_process.setWorkingDirectory(root);
        m_process.setProcessEnvironment(env);
        if (childSetup)
            m_process.setChildProcessModifier(childSetup);
        m_process.start(QStringLiteral(TESSARY_BINARY), {});
    }
    ~RunningApp()
    {
        m_process.kill();
        m_process.waitForFinished();
    }
    QProcess &process() { return m_process; }

    // A text another program copies is captured: once that program quits, the clipboard still
    // holds it, put back by Tessary. (What is on offer while Tessary starts counts as seen, so
    // the copy is made again until one is made after the start.)
    bool captures(const QByteArray &text)
    {
        for (int attempt = 0; attempt < 10; ++attempt) {
            ForeignOwner editor({{"UTF8_STRING", text}});
            if (!editor.start())
                return false;
            QTest::qWait(1500); // a few of the monitor's ticks
            editor.exit();
            if (QTest::qWaitFor([&] { return readClipboardWithXclip("UTF8_STRING", 2000) == text; },
                                3000))
                return true;
        }
        return false;
    }

    // A second launch asks this one to open its panel, and ends at once with status 0.
    bool launchesAgain()
    {
        QProcess second;
        second.setProcessEnvironment(m_env);
        second.start(QStringLiteral(TESSARY_BINARY), {});
        return second.waitForFinished(10000) && second.exitStatus() == QProcess::NormalExit &&
               second.exitCode() == 0;
    }

    bool showsItsPanel()
    {
        return QTest::qWaitFor(
            [] {
                return runClient(u"xdotool"_s, {"search", "--onlyvisible", "--class", "tessary"})
                    .has_value();
            },
            10000);
    }

private:
    QProcessEnvironment m_env;
    QProcess m_process;
};

} // namespace

class AppResilience : public QObject {
    Q_OBJECT
    std::unique_ptr<PrivateXServer> m_server;

private slots:
    void initTestCase()
    {
        m_server = std::make_unique<PrivateXServer>(); // no window manager, no tray
        QVERIFY(m_server->isRunning());
    }

    // Without a session bus (the socket stands in), without a tray to click (a second launch
    // opens the panel), with a home that cannot be written or is missing and cannot be made:
    // copies are still captured and the panel still opens.
    void runsInAPoorSession_data()
    {
        QTest::addColumn<bool>("bus");
        QTest::addColumn<QString>("home"); // under the test's directory
        QTest::newRow("session bus, usual home") << true << u"home"_s;
        QTest::newRow("no session bus") << false << u"home"_s;
        QTest::newRow("home read-only") << true << u"read-only"_s; // for all but root
        QTest::newRow("home is a file") << true << u"file"_s;
        QTest::newRow("home under a file") << false << u"file/home"_s;
    }

    void runsInAPoorSession()
    {
        QFETCH(bool, bus);
        QFETCH(QString, home);
        QTemporaryDir root;
        QFile file(root.filePath(u"file"_s));
        QVERIFY(QDir().mkpath(root.filePath(u"home"_s)) && file.open(QIODevice::WriteOnly));
        QVERIFY(QDir().mkpath(root.filePath(u"read-only"_s)) &&
                QFile::setPermissions(root.filePath(u"read-only"_s),
                                      QFile::ReadOwner | QFile::ExeOwner));
        std::optional<PrivateBus> daemon;
        if (bus)
            QVERIFY(daemon.emplace().isRunning());
        RunningApp app(root.path(), sessionEnvironment(root.path(), root.filePath(home),
                                                       daemon ? daemon->address() : QString()));
        QVERIFY(app.captures("captured in a poor session " + QUuid::createUuid().toByteArray()));
        // A preview the running instance shows stays while a second launch comes and goes.
        QFile staged(root.filePath(u"runtime/tessary/tessary-B.txt"_s));
        QVERIFY(staged.open(QIODevice::WriteOnly));
        QVERIFY(app.launchesAgain());
        QVERIFY(staged.exists());
        QVERIFY(app.showsItsPanel());
        QCOMPARE(app.process().state(), QProcess::Running);
    }

    // The X server taking the clipboard and every window with it: Tessary says so in one line
    // and ends by itself, with status 1 as Qt ends it, leaving no staged preview behind.
    void theXServerGoingAwayEndsItInOneLine()
    {
        QTemporaryDir root;
        auto server = std::make_unique<PrivateXServer>();
        QVERIFY(server->isRunning());
        RunningApp app(root.path(), sessionEnvironment(root.path(), root.path(), {}));
        qputenv("DISPLAY", m_server->display()); // for the tests after this one
        const QString staged = root.filePath(u"runtime/tessary/tessary-A.txt"_s);
        QVERIFY(QTest::qWaitFor([&] { return QFile(staged).open(QIODevice::WriteOnly); }, 10000));
        QTest::qWait(500);
        app.process().readAllStandardError(); // what it said while starting

        server.reset();
        QVERIFY(app.process().waitForFinished(10000));
        QCOMPARE(app.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.process().exitCode(), 1);
        const QByteArray said = app.process().readAllStandardError().trimmed();
        QVERIFY2(!said.isEmpty() && !said.contains('\n'), said.constData());
        QVERIFY(!QFile::exists(staged));
    }

    // What was copied stays in memory: nothing of it reaches the home, /tmp, the runtime
    // directory or the working directory, not even when the process crashes.
    void theHistoryNeverTouchesTheDisk()
    {
        QTemporaryDir root;
        QVERIFY(QDir().mkpath(root.filePath(u"home"_s)));
        PrivateBus bus;
        QVERIFY(bus.isRunning());
        // Core dumps of any size are allowed, as many systems allow them.
        RunningApp app(root.path(),
                       sessionEnvironment(root.path(), root.filePath(u"home"_s), bus.address()),
                       [] {
                           const rlimit unlimited{RLIM_INFINITY, RLIM_INFINITY};
                           ::setrlimit(RLIMIT_CORE, &unlimited);
                       });
        const QByteArray marker = "secret " + QUuid::createUuid().toByteArray(QUuid::Id128);
        QVERIFY(app.captures(marker));
        QVERIFY(app.launchesAgain()); // the panel shows it on a card
        QVERIFY(app.showsItsPanel());
        QVERIFY(app.captures("something else"));
        // The desktop portal must still be able to tell who calls it, as it does, by opening
        // the caller's root (root may open any, so only a run as a normal user can catch it).
        const QByteArray appRoot =
            "/proc/" + QByteArray::number(app.process().processId()) + "/root";
        const int rootFd = ::open(appRoot.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        QVERIFY2(rootFd >= 0, qPrintable(qt_error_string(errno)));
        ::close(rootFd);

        ::kill(app.process().processId(), SIGSEGV);
        QVERIFY(app.process().waitForFinished(30000));
        QCOMPARE(app.process().exitStatus(), QProcess::CrashExit);
        QProcess grep;
        grep.start(u"grep"_s, {"-rlsF", "--devices=skip", QString::fromLatin1(marker), root.path(),
                               QDir::tempPath(), u"/tmp"_s});
        QVERIFY(grep.waitForFinished(120000));
        // Files that cannot be read (another user's) are passed over.
        const QByteArray found = grep.readAllStandardOutput();
        QVERIFY2(found.isEmpty() && grep.exitCode() != 0, found.constData());
        QVERIFY(QDir(root.path()).entryList({u"core*"_s}).isEmpty());
    }
};

QTEST_GUILESS_MAIN(AppResilience)
#include "tst_appresilience.moc"
