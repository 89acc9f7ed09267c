// Qt Quick Test set-up for the settings screen: the real XDG autostart login item under temporary
// XDG folders, a probe QML uses to arrange the desktop's state and to act as an assistive
// technology would, and global shortcuts as a desktop without the portal gives them.

#include "platform/shortcuts/globalshortcut.h"
#include "settings/launchatlogin.h"
#include "settings/xdgautostart.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QQmlEngine>
#include <QQuickItem>
#include <QTemporaryDir>
#include <QtQml/qqmlextensionplugin.h>
#include <QtQuickTest>

Q_IMPORT_QML_PLUGIN(TessaryPlugin)

using namespace tessary;

class AutostartProbe : public QObject {
    Q_OBJECT
    // The switch's model over the real XDG autostart item.
    Q_PROPERTY(tessary::LaunchAtLogin *model READ model CONSTANT FINAL)

public:
    LaunchAtLogin *model() { return &m_model; }

    // Fresh, empty XDG folders.
    Q_INVOKABLE void reset()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_CONFIG_HOME", m_dir->filePath("config").toUtf8());
        qputenv("XDG_CONFIG_DIRS", m_dir->filePath("system").toUtf8());
    }
    Q_INVOKABLE bool write(const QString &path, const QString &contents)
    {
        QDir().mkpath(QFileInfo(m_dir->filePath(path)).path());
        QFile file(m_dir->filePath(path));
        return file.open(QIODevice::WriteOnly) && file.write(contents.toUtf8()) >= 0;
    }
    Q_INVOKABLE QString read(const QString &path)
    {
        QFile file(m_dir->filePath(path));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    Q_INVOKABLE bool registered() { return XdgAutostart().status() == LoginItemStatus::Enabled; }
    Q_INVOKABLE void toggleAction(QQuickItem *item)
    {
        QAccessible::queryAccessibleInterface(item)->actionInterface()->doAction(
            QAccessibleActionInterface::toggleAction());
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    LaunchAtLogin m_model{std::make_unique<XdgAutostart>(), writeToSystemLog};
};

// Global shortcuts on a desktop without the portal: on X11 (with a display that cannot be
// opened, so that grabs fail and say why) or elsewhere.
class ShortcutMaker : public QObject {
    Q_OBJECT

public:
    Q_INVOKABLE tessary::GlobalShortcut *make(bool x11Session)
    {
        auto *shortcut = new GlobalShortcut(
            {QDBusConnection(QString()), x11Session, "no display", m_dir.filePath("keys.conf")},
            this);
        shortcut->start();
        return shortcut;
    }

private:
    QTemporaryDir m_dir;
};

class Setup : public QObject {
    Q_OBJECT

public slots:
    void qmlEngineAvailable(QQmlEngine *engine)
    {
        engine->addImportPath(QStringLiteral("qrc:/"));
        qmlRegisterSingletonInstance("Tessary.Test", 1, 0, "Autostart", &m_probe);
        qmlRegisterSingletonInstance("Tessary.Test", 1, 0, "Shortcuts", &m_shortcuts);
        m_probe.reset();
    }

private:
    AutostartProbe m_probe;
    ShortcutMaker m_shortcuts;
};

QUICK_TEST_MAIN_WITH_SETUP(tst_settingsscreen, Setup)
#include "tst_settingsscreen.moc"
