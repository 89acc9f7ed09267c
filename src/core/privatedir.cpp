#include "privatedir.h"

#include <QFile>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace tessary {

std::optional<QString> ensurePrivateDirectory(const QString &path)
{
    const QByteArray native = QFile::encodeName(path);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return std::nullopt;
    struct stat info {};
    if (::lstat(native.constData(), &info) != 0 || !S_ISDIR(info.st_mode) ||
        info.st_uid != ::geteuid())
        return std::nullopt;
    if ((info.st_mode & 0777) != 0700 && ::chmod(native.constData(), 0700) != 0)
        return std::nullopt;
    return path;
}

std::optional<QString> privateRuntimeDirectory()
{
    if (const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR"); !runtime.isEmpty())
        return ensurePrivateDirectory(runtime + QStringLiteral("/tessary"));
    QString temp = qEnvironmentVariable("TMPDIR");
    if (temp.isEmpty())
        temp = QStringLiteral("/tmp");
    return ensurePrivateDirectory(temp + QStringLiteral("/tessary-") +
                                  QString::number(::geteuid()));
}

} // namespace tessary
