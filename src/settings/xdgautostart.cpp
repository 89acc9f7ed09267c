#include "xdgautostart.h"

#include "core/appid.h"
#include "desktopentry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <cerrno>
#include <optional>
#include <sys/stat.h>

namespace tessary {

namespace {

QString entryFileName()
{
    return QLatin1String(kApplicationId) + QLatin1String(".desktop");
}

// Relative values are invalid per the XDG Base Directory specification and are ignored.
QString configHome()
{
    const QString value = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return value;
    return QDir::homePath() + QLatin1String("/.config");
}

QStringList configDirs()
{
    QStringList dirs;
    const QStringList values = qEnvironmentVariable("XDG_CONFIG_DIRS").split(QLatin1Char(':'));
    for (const QString &dir : values) {
        if (!dir.isEmpty() && QDir::isAbsolutePath(dir))
            dirs.append(dir);
    }
    if (dirs.isEmpty())
        dirs.append(QStringLiteral("/etc/xdg"));
    return dirs;
}

// Like QDir::mkpath, but says why it failed: names the part of the path that is in the way.
std::optional<QString> makeFolder(const QString &folder)
{
    QStringList chain;
    for (QString part = QDir::cleanPath(folder); part.size() > 1; part = QFileInfo(part).path())
        chain.prepend(part);
    for (const QString &part : std::as_const(chain)) {
        const QByteArray name = QFile::encodeName(part);
        struct stat info {};
        if (::stat(name.constData(), &info) == 0) {
            if (!S_ISDIR(info.st_mode))
                return QStringLiteral("%1 is a file, not a folder").arg(part);
            continue;
        }
        if (::mkdir(name.constData(), 0777) != 0 && errno != EEXIST)
            return QStringLiteral("cannot create the folder %1 (%2)")
                .arg(part, qt_error_string(errno));
    }
    return std::nullopt;
}

bool canRun(const QString &program)
{
    if (!QDir::isAbsolutePath(program))
        return !QStandardPaths::findExecutable(program).isEmpty();
    const QFileInfo info(program);
    return info.isFile() && info.isExecutable();
}

} // namespace

XdgAutostart::XdgAutostart(QString executable) : m_executable(std::move(executable)) {}

QString XdgAutostart::userEntryPath() const
{
    return configHome() + QLatin1String("/autostart/") + entryFileName();
}

QStringList XdgAutostart::systemEntryPaths() const
{
    QStringList paths;
    for (const QString &dir : configDirs())
        paths.append(dir + QLatin1String("/autostart/") + entryFileName());
    return paths;
}

QString XdgAutostart::executable() const
{
    if (!m_executable.isEmpty())
        return m_executable;
    // An AppImage runs from a mount that is gone after it exits; autostart must name the image.
    const QString appImage = qEnvironmentVariable("APPIMAGE");
    if (QDir::isAbsolutePath(appImage) && QFileInfo(appImage).isFile())
        return appImage;
    return QCoreApplication::applicationFilePath();
}

XdgAutostart::EntryState XdgAutostart::entryState(const QString &path) const
{
    const QFileInfo info(path);
    if (!info.exists())
        return EntryState::Missing;
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        return EntryState::Unreadable;
    const auto keys = parseDesktopEntry(file.readAll());
    if (!keys)
        return EntryState::NotOurs;

    const QStringList exec = splitExec(keys->value(QStringLiteral("Exec")));
    const bool ours = keys->value(QLatin1String(kMarkerKey)) == QLatin1String("true") ||
                      keys->value(QStringLiteral("X-Flatpak")) == QLatin1String(kApplicationId) ||
                      (!exec.isEmpty() &&
                       QFileInfo(exec.first()).fileName() == QFileInfo(executable()).fileName());
    if (!ours)
        return EntryState::NotOurs;
    if (keys->value(QStringLiteral("Hidden")) == QLatin1String("true") ||
        keys->value(QStringLiteral("X-GNOME-Autostart-enabled")) == QLatin1String("false"))
        return EntryState::Inactive;
    // An entry left behind by a copy that has since moved or been removed starts nothing.
    if (exec.isEmpty() || !canRun(exec.first()))
        return EntryState::Broken;
    return EntryState::Active;
}

// The system-wide entry that applies when the user has none: the first in XDG_CONFIG_DIRS order.
XdgAutostart::EntryState XdgAutostart::systemState() const
{
    for (const QString &path : systemEntryPaths()) {
        const EntryState state = entryState(path);
        if (state != EntryState::Missing)
            return state;
    }
    return EntryState::Missing;
}

LoginItemStatus XdgAutostart::status()
{
    EntryState state = entryState(userEntryPath());
    if (state == EntryState::Missing)
        state = systemState();
    switch (state) {
    case EntryState::Missing:
        return LoginItemStatus::NotRegistered;
    case EntryState::Unreadable:
        return LoginItemStatus::Unknown;
    case EntryState::NotOurs:
        return LoginItemStatus::NotOurs;
    case EntryState::Active:
        return LoginItemStatus::Enabled;
    case EntryState::Inactive:
        return LoginItemStatus::Disabled;
    case EntryState::Broken:
        return LoginItemStatus::Broken;
    }
    return LoginItemStatus::Unknown;
}

LoginItemResult XdgAutostart::enable()
{
    const QString path = userEntryPath();
    const EntryState user = entryState(path);
    if (user == EntryState::NotOurs)
        return LoginItemResult::failure(
            QStringLiteral("%1 exists and does not start %2; remove or rename it, then try again")
                .arg(path, QLatin1String(kApplicationName)));
    if (user == EntryState::Missing && systemState() == EntryState::Active)
        return LoginItemResult::success();
    return writeEntry(false);
}

LoginItemResult XdgAutostart::disable()
{
    const QString path = userEntryPath();
    const EntryState user = entryState(path);
    if (user == EntryState::NotOurs)
        return LoginItemResult::success();
    // A user entry that is merely removed would let the system-wide one start us again.
    const EntryState system = systemState();
    if (system == EntryState::Active || system == EntryState::Broken)
        return writeEntry(true);
    if (user == EntryState::Active || user == EntryState::Inactive || user == EntryState::Broken) {
        QFile file(path);
        if (!file.remove())
            return LoginItemResult::failure(
                QStringLiteral("cannot remove %1: %2").arg(path, file.errorString()));
    }
    return LoginItemResult::success();
}

QByteArray XdgAutostart::entryContents(bool hidden) const
{
    QString text = QStringLiteral("[Desktop Entry]\n"
                                  "Type=Application\n"
                                  "Name=%1\n"
                                  "Comment=Clipboard history\n"
                                  "Exec=%2\n"
                                  "Icon=%3\n"
                                  "Terminal=false\n"
                                  "%4=true\n")
                       .arg(QLatin1String(kApplicationName),
                            escapeDesktopValue(quoteExecArgument(executable())),
                            QLatin1String(kApplicationId), QLatin1String(kMarkerKey));
    if (hidden)
        text += QLatin1String("Hidden=true\n");
    return text.toUtf8();
}

LoginItemResult XdgAutostart::writeEntry(bool hidden) const
{
    const QString path = userEntryPath();
    const QString folder = QFileInfo(path).path();
    if (const auto problem = makeFolder(folder))
        return LoginItemResult::failure(QStringLiteral("cannot write %1: %2").arg(path, *problem));
    // Written beside the target and renamed over it, so a crash never leaves half an entry.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return LoginItemResult::failure(
            QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    file.write(entryContents(hidden));
    if (!file.commit())
        return LoginItemResult::failure(
            QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    return LoginItemResult::success();
}

} // namespace tessary
