// Qt Quick Test set-up for the settings screen: the real XDG autostart login item under temporary
// XDG folders, and a probe QML can use to arrange the desktop's state and to act as an assistive
// technology would.

#include "settings/settingsqml.h"
#include "settings/xdgautostart.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QQmlEngine>
#include <QQuickItem>
#include <QTemporaryDir>
#include <QtQml/qqmlextensionplugin.h>
#include <QtQuickTest>
#include <sys/stat.h>

Q_IMPORT_QML_PLUGIN(TessaryPlugin)

using namespace tessary;

namespace {

int g_logLines = 0;
QtMessageHandler g_previousHandler = nullptr;

void countLaunchAtLoginLines(QtMsgType type, const QMessageLogContext &context,
                             const QString &message)
{
    if (qstrcmp(context.category, "tessary.launchatlogin") == 0 &&
        message.startsWith(QLatin1String("Tessary launch-at-login error: ")))
        ++g_logLines;
    g_previousHandler(type, context, message);
}

bool writeFile(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(contents) >= 0;
}

} // namespace

class AutostartProbe : public QObject {
    Q_OBJECT

public:
    // Fresh, empty XDG folders.
    Q_INVOKABLE void reset()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", m_dir->filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_CONFIG_DIRS", m_dir->filePath(QStringLiteral("system")).toUtf8());
        g_logLines = 0;
        // QtTest installs its own handler once the tests start; chain in front of it.
        const QtMessageHandler previous = qInstallMessageHandler(countLaunchAtLoginLines);
        if (previous != countLaunchAtLoginLines)
            g_previousHandler = previous;
    }

    // Arranges the desktop's record: "enabled", "none", "hidden", "gnome-disabled", "foreign" or
    // "system" (a system-wide entry only).
    Q_INVOKABLE bool arrange(const QString &state)
    {
        XdgAutostart item;
        QFile::remove(item.userEntryPath());
        const QByteArray ours = item.entryContents(false);
        if (state == QLatin1String("enabled"))
            return writeFile(item.userEntryPath(), ours);
        if (state == QLatin1String("hidden"))
            return writeFile(item.userEntryPath(), item.entryContents(true));
        if (state == QLatin1String("gnome-disabled"))
            return writeFile(item.userEntryPath(), ours + "X-GNOME-Autostart-enabled=false\n");
        if (state == QLatin1String("foreign"))
            return writeFile(item.userEntryPath(), "[Desktop Entry]\nType=Application\n"
                                                   "Name=Other\nExec=/usr/bin/other\n");
        if (state == QLatin1String("system"))
            return writeFile(item.systemEntryPaths().first(), ours);
        return state == QLatin1String("none");
    }

    Q_INVOKABLE bool registered() { return XdgAutostart().status() == LoginItemStatus::Enabled; }

    // A regular file where the autostart folder belongs: every write fails, even as root.
    Q_INVOKABLE bool blockAutostartFolder()
    {
        const QString folder = QFileInfo(XdgAutostart().userEntryPath()).path();
        QDir(folder).removeRecursively();
        return writeFile(folder, "in the way\n");
    }

    // Changes whenever the entry is written again (it is replaced by a rename).
    Q_INVOKABLE QString entryIdentity()
    {
        struct stat info {};
        if (::stat(QFile::encodeName(XdgAutostart().userEntryPath()).constData(), &info) != 0)
            return QString();
        return QString::number(info.st_ino);
    }

    Q_INVOKABLE int logLines() const { return g_logLines; }

    Q_INVOKABLE bool pressAction(QQuickItem *item)
    {
        return doAction(item, QAccessibleActionInterface::pressAction());
    }
    Q_INVOKABLE bool toggleAction(QQuickItem *item)
    {
        return doAction(item, QAccessibleActionInterface::toggleAction());
    }
    Q_INVOKABLE QString accessibleName(QQuickItem *item)
    {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(item);
        return iface ? iface->text(QAccessible::Name) : QString();
    }

private:
    static bool doAction(QQuickItem *item, const QString &action)
    {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(item);
        if (!iface || !iface->actionInterface() ||
            !iface->actionInterface()->actionNames().contains(action))
            return false;
        iface->actionInterface()->doAction(action);
        return true;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

class Setup : public QObject {
    Q_OBJECT

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        engine->addImportPath(QStringLiteral("qrc:/"));
        registerSettingsQmlTypes(*engine);
        qmlRegisterSingletonInstance("Tessary.Test", 1, 0, "Autostart", &m_probe);
        m_probe.reset();
    }

private:
    AutostartProbe m_probe;
};

QUICK_TEST_MAIN_WITH_SETUP(tst_settingsscreen, Setup)
#include "tst_settingsscreen.moc"
