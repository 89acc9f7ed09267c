// XDG autostart as the login item: what is written, what counts as ours, the system-wide
// override and the failures a person has to act on.

#include "settings/desktopentry.h"
#include "settings/xdgautostart.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace tessary;

namespace {

void writeFile(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(contents);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Empty when desktop-file-validate accepts the file, else what it says.
QString validate(const QString &path)
{
    QProcess process;
    process.start(QStringLiteral("desktop-file-validate"), {path});
    if (!process.waitForFinished(10000))
        return QStringLiteral("desktop-file-validate did not run");
    const QString output = QString::fromUtf8(process.readAll());
    return process.exitCode() == 0 && !output.contains(QLatin1String("error")) ? QString() : output;
}

QStringList execOf(const QString &path)
{
    const auto keys = parseDesktopEntry(readFile(path));
    return keys ? splitExec(keys->value(QStringLiteral("Exec"))) : QStringList();
}

} // namespace

class TestXdgAutostart : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_configHome;
    QString m_systemDir;
    QString m_executable; // an installed copy, on PATH
    QByteArray m_path;

    QString makeExecutable(const QString &relative)
    {
        const QString path = m_dir->filePath(relative);
        // Leaves a mark when started, so a real launcher can be checked against what we wrote.
        writeFile(path, "#!/bin/sh\n: > '" + QFile::encodeName(m_dir->filePath("ran")) + "'\n");
        QFile::setPermissions(path, QFile::permissions(path) | QFile::ExeOwner);
        return path;
    }

    QByteArray systemEntryContents(const QByteArray &extra = {}) const
    {
        return "[Desktop Entry]\nType=Application\nName=Tessary\nExec=tessary\n" + extra;
    }

    QString systemEntry() const
    {
        return m_systemDir + QLatin1String("/autostart/org.tessary.Tessary.desktop");
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_configHome = m_dir->filePath(QStringLiteral("config"));
        m_systemDir = m_dir->filePath(QStringLiteral("xdg-system"));
        qputenv("XDG_CONFIG_HOME", m_configHome.toUtf8());
        qputenv("XDG_CONFIG_DIRS",
                (m_dir->filePath(QStringLiteral("xdg-empty")) + QLatin1Char(':') + m_systemDir)
                    .toUtf8());
        m_executable = makeExecutable(QStringLiteral("Tessary Apps/bin/tessary"));
        m_path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(QFileInfo(m_executable).path()) + ':' + m_path);
    }

    void cleanup() { qputenv("PATH", m_path); }

    void enableAndDisableRoundTrip()
    {
        XdgAutostart item(m_executable);
        const QString entry =
            m_configHome + QLatin1String("/autostart/org.tessary.Tessary.desktop");
        QCOMPARE(item.userEntryPath(), entry);
        QCOMPARE(item.status(), LoginItemStatus::NotRegistered);

        QVERIFY(item.enable().ok());
        QCOMPARE(item.status(), LoginItemStatus::Enabled);
        QCOMPARE(execOf(entry), QStringList{m_executable});
        QCOMPARE(validate(entry), QString());
        // No temporary file is left beside the entry.
        QCOMPARE(QDir(QFileInfo(entry).path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

        QVERIFY(item.enable().ok());
        QCOMPARE(item.status(), LoginItemStatus::Enabled);

        QVERIFY(item.disable().ok());
        QVERIFY(!QFile::exists(entry));
        QCOMPARE(item.status(), LoginItemStatus::NotRegistered);
        QVERIFY(item.disable().ok());
    }

    // Paths are data: quoting and escaping keep them one argument and the file one entry.
    void awkwardExecutablePaths_data()
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

    void awkwardExecutablePaths()
    {
        QFETCH(QString, executable);
        executable = makeExecutable(executable);
        XdgAutostart item(executable);
        QVERIFY(item.enable().ok());
        QCOMPARE(execOf(item.userEntryPath()), QStringList{executable});
        QCOMPARE(item.status(), LoginItemStatus::Enabled);
        QCOMPARE(validate(item.userEntryPath()), QString());

        // GLib's launcher starts exactly that program. It looks the program up before undoing
        // "%%", so it cannot start a path with a '%' at all.
        if (executable.contains(QLatin1Char('%')) ||
            QStandardPaths::findExecutable("gio").isEmpty())
            return;
        QProcess::execute(QStringLiteral("gio"), {"launch", item.userEntryPath()});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(m_dir->filePath("ran")), 5000);
    }

    void foreignUserFileIsLeftAlone()
    {
        XdgAutostart item(m_executable);
        const QByteArray foreign = "[Desktop Entry]\nType=Application\nName=Mine\n"
                                   "Exec=/usr/local/bin/my-own-script --tessary\n";
        writeFile(item.userEntryPath(), foreign);
        QCOMPARE(item.status(), LoginItemStatus::NotOurs);

        const LoginItemResult enabled = item.enable();
        QVERIFY(!enabled.ok());
        QVERIFY2(enabled.error().contains(item.userEntryPath()), qPrintable(enabled.error()));
        QVERIFY(item.disable().ok());
        QCOMPARE(readFile(item.userEntryPath()), foreign);
    }

    // A copy of the application's own desktop file, as tweak tools make, starts us: it is ours.
    void copyOfOurDesktopFileIsOurs()
    {
        XdgAutostart item(m_executable);
        writeFile(item.userEntryPath(), "[Desktop Entry]\nType=Application\nName=Tessary\n"
                                        "Exec=tessary %U\nX-GNOME-Autostart-enabled=false\n");
        QCOMPARE(item.status(), LoginItemStatus::Disabled);
        QVERIFY(item.enable().ok());
        QCOMPARE(item.status(), LoginItemStatus::Enabled);
        QVERIFY(item.disable().ok());
        QVERIFY(!QFile::exists(item.userEntryPath()));
    }

    // An entry whose program has since moved starts nothing: it shows off; switching on repairs it.
    void entryNamingAMissingProgramIsBroken()
    {
        XdgAutostart moved(m_dir->filePath(QStringLiteral("old place/tessary")));
        QVERIFY(moved.enable().ok());
        XdgAutostart item(m_executable);
        QCOMPARE(item.status(), LoginItemStatus::Broken);
        QVERIFY(item.enable().ok());
        QCOMPARE(item.status(), LoginItemStatus::Enabled);
        QCOMPARE(execOf(item.userEntryPath()), QStringList{m_executable});
    }

    void systemWideEntryIsOverriddenNotRemoved()
    {
        XdgAutostart item(m_executable);
        const QByteArray system = systemEntryContents();
        writeFile(systemEntry(), system);
        QCOMPARE(item.status(), LoginItemStatus::Enabled);
        QVERIFY(item.enable().ok());
        QVERIFY(!QFile::exists(item.userEntryPath()));

        QVERIFY(item.disable().ok());
        QCOMPARE(parseDesktopEntry(readFile(item.userEntryPath()))->value("Hidden"), "true");
        QCOMPARE(validate(item.userEntryPath()), QString());
        QCOMPARE(item.status(), LoginItemStatus::Disabled);
        QCOMPARE(readFile(systemEntry()), system);

        QVERIFY(item.enable().ok());
        QCOMPARE(item.status(), LoginItemStatus::Enabled);
        QVERIFY(!parseDesktopEntry(readFile(item.userEntryPath()))->contains("Hidden"));

        // A system-wide entry that is itself hidden needs no override.
        writeFile(systemEntry(), system + "Hidden=true\n");
        QVERIFY(item.disable().ok());
        QVERIFY(!QFile::exists(item.userEntryPath()));
        QCOMPARE(item.status(), LoginItemStatus::Disabled);
    }

    // Root ignores permission bits, so a regular file where a folder belongs makes writes fail.
    void failuresNameThePathAndChangeNothing_data()
    {
        QTest::addColumn<QString>("blocked");
        QTest::addColumn<bool>("systemEntry");
        QTest::addColumn<bool>("wanted");
        QTest::newRow("enable, autostart folder is a file") << "autostart" << false << true;
        QTest::newRow("enable, config home is a file") << "" << false << true;
        QTest::newRow("disable over a system entry") << "autostart" << true << false;
    }

    void failuresNameThePathAndChangeNothing()
    {
        QFETCH(QString, blocked);
        QFETCH(bool, systemEntry);
        QFETCH(bool, wanted);
        XdgAutostart item(m_executable);
        if (systemEntry)
            writeFile(this->systemEntry(), systemEntryContents());
        const QString blocker = blocked.isEmpty() ? m_configHome : m_configHome + "/" + blocked;
        writeFile(blocker, "not a folder\n");
        const LoginItemStatus before = item.status();

        const LoginItemResult result = wanted ? item.enable() : item.disable();
        QVERIFY(!result.ok());
        QVERIFY2(result.error().contains(item.userEntryPath()), qPrintable(result.error()));
        QVERIFY2(result.error().contains(blocker + " is a file"), qPrintable(result.error()));
        QCOMPARE(item.status(), before);
        QCOMPARE(readFile(blocker), QByteArray("not a folder\n"));
    }

    void relativeConfigHomeIsIgnored()
    {
        qputenv("XDG_CONFIG_HOME", "relative/config");
        XdgAutostart item(m_executable);
        QCOMPARE(item.userEntryPath(),
                 QDir::homePath() +
                     QLatin1String("/.config/autostart/org.tessary.Tessary.desktop"));
        qputenv("XDG_CONFIG_DIRS", "relative:");
        QCOMPARE(item.systemEntryPaths(),
                 QStringList{QStringLiteral("/etc/xdg/autostart/org.tessary.Tessary.desktop")});
    }
};

QTEST_GUILESS_MAIN(TestXdgAutostart)
#include "tst_xdgautostart.moc"
