#include "stager.h"

#include "core/imageformat.h"
#include "core/privatedir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QUuid>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcStaging, "tessary.preview.staging", QtInfoMsg)

namespace tessary {

namespace {
// Gives the complete file its final name, failing when that name exists: the exclusive-creation
// promise holds for the final name too.
bool publishWithoutReplacing(const QByteArray &from, const QByteArray &to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without RENAME_NOREPLACE: link(2) also refuses an existing name.
    if (::link(from.constData(), to.constData()) != 0)
        return false;
    ::unlink(from.constData());
    return true;
}
} // namespace

bool StagingWriter::writeAll(int fd, QByteArrayView bytes)
{
    const char *data = bytes.data();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

PreviewStager::PreviewStager(DirectoryProvider directory, StagingWriter *writer)
    : m_directory(directory ? std::move(directory) : DirectoryProvider(privateRuntimeDirectory)),
      m_writer(writer ? *writer : m_defaultWriter)
{}

bool PreviewStager::remove(const QUrl &staged)
{
    const std::optional<QString> directory = m_directory();
    const QString path = staged.toLocalFile();
    if (!directory || QFileInfo(path).path() != *directory ||
        !staged.fileName().startsWith(QLatin1String(kPrefix)))
        return false;
    return QFile::remove(path);
}

void PreviewStager::removeStagedFiles()
{
    const std::optional<QString> directory = m_directory();
    if (!directory)
        return;
    QDir dir(*directory);
    const QStringList patterns{QLatin1String(kPrefix) + u'*', u'.' + QLatin1String(kPrefix) + u'*'};
    for (const QString &name : dir.entryList(patterns, QDir::Files | QDir::Hidden | QDir::System))
        dir.remove(name);
}

QString PreviewStager::newFileName(const QString &extension)
{
    const QString uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    return QLatin1String(kPrefix) + uuid + QLatin1Char('.') + extension;
}

std::optional<QUrl> PreviewStager::stage(const Payload &payload)
{
    QByteArray bytes;
    QString extension;
    switch (payload.kind()) {
    case Payload::Kind::Files: {
        const QList<QUrl> urls = payload.fileUrls();
        if (urls.isEmpty())
            return std::nullopt;
        return urls.first();
    }
    case Payload::Kind::Text:
        bytes = payload.text().toUtf8();
        extension = QStringLiteral("txt");
        break;
    case Payload::Kind::Image:
        bytes = payload.imageBytes();
        extension = imageFileExtension(payload.imageFormat());
        break;
    }
    const std::optional<QString> directory = m_directory();
    if (!directory) {
        qCWarning(lcStaging) << "no private directory to stage the preview in";
        return std::nullopt;
    }
    const std::optional<QString> path = writeNewFile(*directory, newFileName(extension), bytes);
    if (!path)
        return std::nullopt;
    return QUrl::fromLocalFile(*path);
}

std::optional<QString> PreviewStager::writeNewFile(const QString &directory,
                                                   const QString &fileName, QByteArrayView bytes)
{
    const QString finalPath = directory + QLatin1Char('/') + fileName;
    const QString partPath = directory + QStringLiteral("/.") + fileName + QStringLiteral(".part");
    const QByteArray part = QFile::encodeName(partPath);
    const QByteArray final = QFile::encodeName(finalPath);

    // O_EXCL and O_NOFOLLOW: never write through a name someone else placed there.
    const int fd = ::open(part.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          S_IRUSR | S_IWUSR);
    if (fd < 0) {
        qCWarning(lcStaging) << "cannot create" << partPath << ::strerror(errno);
        return std::nullopt;
    }
    bool complete = m_writer.writeAll(fd, bytes);
    // Some file systems report a full disk only when the data is flushed.
    if (complete && ::fsync(fd) != 0 && errno != EINVAL)
        complete = false;
    if (::close(fd) != 0)
        complete = false;
    if (!complete) {
        qCWarning(lcStaging) << "cannot write" << partPath;
    } else if (publishWithoutReplacing(part, final)) {
        return finalPath;
    } else {
        qCWarning(lcStaging) << "cannot rename to" << finalPath << ::strerror(errno);
    }
    ::unlink(part.constData());
    return std::nullopt;
}

} // namespace tessary
