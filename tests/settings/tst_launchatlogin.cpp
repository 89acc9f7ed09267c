// Launch at login through XDG autostart: what is written, what counts as ours, the system-wide
// override, and how the switch's model reports failures.

#include "settings/backgroundportal.h"
#include "settings/desktopentry.h"
#include "settings/launchatlogin.h"
#include "settings/xdgautostart.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace tessary;

namespace {

const QByteArray kEntry = "[Desktop Entry]\nType=Application\nName=Tessary\n";

void writeFile(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
}

QHash<QString, QString> keysOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly)
               ? parseDesktopEntry(file.readAll()).value_or(QHash<QString, QString>{})
               : QHash<QString, QString>{};
}

bool valid(const QString &path)
{
    return QProcess::execute(QStringLiteral("desktop-file-validate"), {path}) == 0;
}

QStringList g_lines; // the launch-at-login category

void logLine(QtMsgType, const QMessageLogContext &context, const QString &line)
{
    if (qstrcmp(context.category, "tessary.launchatlogin") == 0)
        g_lines << line;
}

} // namespace

class TestLaunchAtLogin : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_executable; // on PATH
    QByteArray m_path;
    QtMessageHandler m_handler = nullptr;
    QString m_systemEntry;

    // A program that leaves a mark when started, so a real launcher can check what we wrote.
    QString makeExecutable(const QString &relative)
    {
        const QString path = m_dir->filePath(relative);
        writeFile(path, "#!/bin/sh\n: > '" + QFile::encodeName(m_dir->filePath("ran")) + "'\n");
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
        return path;
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", m_dir->filePath("config").toUtf8());
        qputenv("XDG_CONFIG_DIRS",
                (m_dir->filePath("empty") + ':' + m_dir->filePath("system")).toUtf8());
        m_systemEntry = m_dir->filePath("system/autostart/org.tessary.Tessary.desktop");
        m_executable = makeExecutable(QStringLiteral("Tessary Apps/bin/tessary"));
        m_path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(QFileInfo(m_executable).path()) + ':' + m_path);
        g_lines.clear();
        m_handler = qInstallMessageHandler(logLine);
    }

    void cleanup()
    {
        qInstallMessageHandler(m_handler);
        qputenv("PATH", m_path);
    }

    // Paths are data: quoting and escaping keep them one argument and the file one valid entry.
    void enableAndDisableRoundTrip_data()
    {
        QTest::addColumn<QString>("executable");
        QTest::newRow("plain") << QStringLiteral("bin/tessary");
        QTest::newRow("space and percent") << QStringLiteral("a b/100% tools/tessary");
        QTest::newRow("shell characters")
            << QStringLiteral("$HOME `x` \"q\" 'a' ;&|<>*?#()~/tessary");
        QTest::newRow("backslashes") << QStringLiteral("back\\slash\\\\/tessary");
        QTest::newRow("line break") << QStringLiteral("evil\nHidden=true\n/tessary");
        QTest::newRow("equals and tab") << QStringLiteral("a=b\tc/tessary");
    }

    void enableAndDisableRoundTrip()
    {
        QFETCH(QString, executable);
        executable = makeExecutable(executable);
        XdgAutostart item(executable);
        const QString entry = m_dir->filePath("config/autostart/org.tessary.Tessary.desktop");
        QCOMPARE(item.userEntryPath(), entry);
        QCOMPARE(item.status(), LoginItemStatus::NotRegistered);
        QVERIFY(item.enable().ok() && item.enable().ok());
        QCOMPARE(item.status(), LoginItemStatus::Enabled);
        QCOMPARE(splitExec(keysOf(entry).value("Exec")), QStringList{executable});
        QVERIFY(valid(entry));
        // Written by rename: no temporary file is left beside the entry.
        QCOMPARE(QDir(QFileInfo(entry).path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
        // GLib's launcher starts exactly that program (it can't start one with a '%' in its path).
        if (!executable.contains('%') && !QStandardPaths::findExecutable("gio").isEmpty()) {
            QProcess::execute(QStringLiteral("gio"), {"launch", entry});
            QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_dir->filePath("ran")), 5000);
        }
        QVERIFY(item.disable().ok() && item.disable().ok());
        QVERIFY(!QFile::exists(entry));
        QCOMPARE(item.status(), LoginItemStatus::NotRegistered);
    }

    // Any argument comes back whole from the Exec line written for it, even one that begins or
    // ends with white space a reader trims from a value.
    void execArgumentsReadBackWhole_data()
    {
        QTest::addColumn<QString>("argument");
        QTest::newRow("ends in a vertical tab") << QStringLiteral("tessary\v");
        QTest::newRow("begins with a no-break space") << QStringLiteral("\u00a0tessary");
        QTest::newRow("ends in a form feed") << QStringLiteral("a\f");
    }

    void execArgumentsReadBackWhole()
    {
        QFETCH(QString, argument);
        const QByteArray written =
            "[Desktop Entry]\nExec=" + escapeDesktopValue(quoteExecArgument(argument)).toUtf8();
        QCOMPARE(splitExec(parseDesktopEntry(written)->value(QStringLiteral("Exec"))),
                 QStringList{argument});
    }

    // Ours carries our marker or starts a program named like ours (see the system-wide case);
    // anything else is someone else's and is never changed.
    void foreignUserEntryIsLeftAlone()
    {
        XdgAutostart item(m_executable);
        const QString entry = item.userEntryPath();
        writeFile(entry, kEntry + "Exec=/usr/local/bin/mine --tessary\n");
        QCOMPARE(item.status(), LoginItemStatus::NotOurs);
        QVERIFY(item.enable().error().contains(entry));
        QVERIFY(item.disable().ok());
        QCOMPARE(keysOf(entry).value("Exec"), "/usr/local/bin/mine --tessary");
    }

    // A system-wide entry (a copy of our desktop file, naming the program as on PATH) is ours.
    void systemWideEntryIsOverriddenNotRemoved()
    {
        XdgAutostart item(m_executable);
        const QString user = item.userEntryPath();
        writeFile(m_systemEntry, kEntry + "Exec=tessary\n");
        QCOMPARE(item.status(), LoginItemStatus::Enabled);
        QVERIFY(item.enable().ok());
        QVERIFY(!QFile::exists(user));

        QVERIFY(item.disable().ok());
        QCOMPARE(keysOf(user).value("Hidden"), "true");
        QVERIFY(valid(user));
        QCOMPARE(item.status(), LoginItemStatus::Disabled);
        QCOMPARE(keysOf(m_systemEntry).value("Exec"), "tessary");

        QVERIFY(item.enable().ok());
        QCOMPARE(item.status(), LoginItemStatus::Enabled);
        QVERIFY(!keysOf(user).contains("Hidden"));

        // A system-wide entry that is itself hidden needs no override.
        writeFile(m_systemEntry, kEntry + "Exec=tessary\nHidden=true\n");
        QVERIFY(item.disable().ok());
        QVERIFY(!QFile::exists(user));
        QCOMPARE(item.status(), LoginItemStatus::Disabled);
    }

    // Root ignores permission bits, so a regular file where a folder belongs makes writes fail.
    // The switch stays as it was and one line, with the path and the reason, goes to the log.
    void failureKeepsTheSwitchAndLogsOneLine_data()
    {
        QTest::addColumn<QString>("blocked");
        QTest::addColumn<bool>("wanted"); // with a system entry when switching off
        QTest::newRow("enable, autostart folder is a file") << "config/autostart" << true;
        QTest::newRow("enable, config home is a file") << "config" << true;
        QTest::newRow("disable over a system entry") << "config/autostart" << false;
    }

    void failureKeepsTheSwitchAndLogsOneLine()
    {
        QFETCH(QString, blocked);
        QFETCH(bool, wanted);
        if (!wanted)
            writeFile(m_systemEntry, kEntry + "Exec=tessary\n");
        const QString blocker = m_dir->filePath(blocked);
        writeFile(blocker, "not a folder\n");
        auto owned = std::make_unique<XdgAutostart>(m_executable);
        XdgAutostart *item = owned.get();
        LaunchAtLogin model(std::move(owned), writeToSystemLog);
        model.refresh();
        QCOMPARE(model.isEnabled(), !wanted);
        QSignalSpy changed(&model, &LaunchAtLogin::enabledChanged);
        model.request(wanted);
        QVERIFY(model.isEnabled() != wanted && !model.isBusy() && changed.isEmpty());
        QCOMPARE(model.isChecked(), model.isEnabled());
        QCOMPARE(g_lines.size(), 1);
        QVERIFY2(g_lines[0].startsWith("Tessary launch-at-login error: ") &&
                     g_lines[0].contains(item->userEntryPath()) &&
                     g_lines[0].contains(blocker + " is a file"),
                 qPrintable(g_lines[0]));
        QVERIFY(QFileInfo(blocker).isFile());
    }

    // While a request waits for the desktop, the switch stands where it was flipped and further
    // flips and reads are held back. A failure's reason is logged on one line, never read as a
    // format, and the switch goes back.
    void aRequestWaitsForItsAnswer()
    {
        struct WaitingItem : LoginItem {
            int requests = 0;
            LoginItemStatus status() override { return LoginItemStatus::Enabled; }
            void request(bool) override { ++requests; }
        };
        auto owned = std::make_unique<WaitingItem>();
        WaitingItem &item = *owned;
        LaunchAtLogin model(std::move(owned), writeToSystemLog);
        model.request(true);
        model.request(false);
        model.refresh();
        QCOMPARE(item.requests, 1);
        QVERIFY(model.isBusy() && model.isChecked() && !model.isEnabled());
        emit item.finished(LoginItemResult::failure("cancelled 100% %s %n\nby you"));
        QVERIFY(!model.isBusy() && !model.isChecked() && !model.isEnabled());
        QCOMPARE(g_lines,
                 QStringList{"Tessary launch-at-login error: cancelled 100% %s %n by you"});
    }

    void flatpakSandboxUsesThePortal()
    {
        const QString info = m_dir->filePath(".flatpak-info");
        QVERIFY(dynamic_cast<XdgAutostart *>(createLoginItem(info).get()));
        QVERIFY(QFile(info).open(QIODevice::WriteOnly));
        QVERIFY(dynamic_cast<BackgroundPortal *>(createLoginItem(info).get()));
    }
};

QTEST_GUILESS_MAIN(TestLaunchAtLogin)
#include "tst_launchatlogin.moc"
