#include "previewcontent.h"

#include "futurewatch.h"
#include "imagereading.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QLocale>
#include <QMimeDatabase>
#include <QStringDecoder>
#include <QtConcurrent>

namespace tessary {

namespace {
FileInspection failure(const QString &message)
{
    FileInspection inspection;
    inspection.kind = FileInspection::Kind::Error;
    inspection.error = message;
    return inspection;
}
} // namespace

QStringList splitTextBlocks(const QString &text, qsizetype maxLength)
{
    QStringList blocks;
    qsizetype blockStart = 0; // where the piece being gathered begins
    qsizetype lineStart = 0;
    while (lineStart <= text.size()) {
        qsizetype lineEnd = text.indexOf(QLatin1Char('\n'), lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        if (lineEnd - blockStart > maxLength && lineStart > blockStart) {
            // This line does not fit: the piece ends before it.
            blocks.append(text.sliced(blockStart, lineStart - 1 - blockStart));
            blockStart = lineStart;
        }
        while (lineEnd - blockStart > maxLength) {
            qsizetype cut = blockStart + maxLength;
            if (text.at(cut - 1).isHighSurrogate())
                --cut;
            blocks.append(text.sliced(blockStart, cut - blockStart));
            blockStart = cut;
        }
        lineStart = lineEnd + 1;
    }
    blocks.append(text.sliced(blockStart, qMax<qsizetype>(0, text.size() - blockStart)));
    return blocks;
}

FileInspection inspectFile(const QUrl &url)
{
    if (!url.isLocalFile())
        return failure(PreviewContent::tr("Only files on this computer can be previewed."));
    const QString path = url.toLocalFile();
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (!info.exists())
        return failure(PreviewContent::tr("“%1” no longer exists.").arg(name));

    const QMimeDatabase mimes;
    FileInspection inspection;
    inspection.kind = FileInspection::Kind::Other;
    if (info.isDir()) {
        const QMimeType folder = mimes.mimeTypeForName(QStringLiteral("inode/directory"));
        inspection.mimeType = folder.name();
        inspection.typeName = folder.comment();
        return inspection;
    }
    if (!info.isFile()) {
        // Devices, sockets and pipes: reading one could block or never end.
        const QMimeType special = mimes.mimeTypeForFile(info);
        inspection.mimeType = special.name();
        inspection.typeName = special.comment();
        return inspection;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(PreviewContent::tr("“%1” cannot be read: %2").arg(name, file.errorString()));
    const QMimeType type = mimes.mimeTypeForFileNameAndData(path, &file);
    inspection.mimeType = type.name();
    inspection.typeName = type.comment();
    inspection.size = info.size();

    if (type.inherits(QStringLiteral("text/plain"))) {
        file.seek(0);
        const QByteArray bytes = file.read(PreviewContent::kMaxTextBytes);
        if (file.error() != QFileDevice::NoError)
            return failure(
                PreviewContent::tr("“%1” cannot be read: %2").arg(name, file.errorString()));
        inspection.kind = FileInspection::Kind::Text;
        inspection.truncated = !file.atEnd();
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        inspection.text = utf8(bytes);
        inspection.textBlocks = splitTextBlocks(inspection.text, PreviewContent::kTextBlockLength);
        return inspection;
    }
    if (QImageReader::supportedMimeTypes().contains(type.name().toLatin1())) {
        file.seek(0);
        QImageReader reader(&file);
        // The header tells a damaged file; damage further in shows in the view.
        const QSize size = reader.canRead() ? images::uprightSize(reader) : QSize();
        if (!size.isValid()) {
            return failure(
                PreviewContent::tr("“%1” cannot be shown: it is not a readable image.").arg(name));
        }
        inspection.kind = FileInspection::Kind::Image;
        inspection.imageSize = size;
    }
    return inspection;
}

void PreviewContent::load(const QUrl &url)
{
    const quint64 ticket = ++m_ticket;
    m_url = url;
    m_kind = Kind::Loading;
    m_inspection = {};
    setZoomed(false);
    emit contentChanged();
    whenFinished(this, QtConcurrent::run(inspectFile, url),
                 [this, ticket](const QFuture<FileInspection> &inspected) {
                     if (ticket != m_ticket || inspected.resultCount() == 0)
                         return;
                     const FileInspection result = inspected.result();
                     m_inspection = result;
                     switch (result.kind) {
                     case FileInspection::Kind::Text:
                         m_kind = Kind::Text;
                         break;
                     case FileInspection::Kind::Image:
                         m_kind = Kind::Image;
                         break;
                     case FileInspection::Kind::Other:
                         m_kind = Kind::Other;
                         break;
                     case FileInspection::Kind::Error:
                         m_kind = Kind::Error;
                         break;
                     }
                     emit contentChanged();
                     emit loaded();
                 });
}

QString PreviewContent::fileName() const
{
    return m_url.fileName();
}

QString PreviewContent::sizeText() const
{
    if (m_inspection.size < 0)
        return {};
    return QLocale().formattedDataSize(m_inspection.size);
}

void PreviewContent::setZoomed(bool zoomed)
{
    if (m_zoomed == zoomed)
        return;
    m_zoomed = zoomed;
    emit zoomedChanged();
}

void PreviewContent::clear()
{
    ++m_ticket; // a file still being looked at is dropped
    m_url.clear();
    m_kind = Kind::Loading;
    m_inspection = {};
    setZoomed(false);
    emit contentChanged();
}

void PreviewContent::openExternally()
{
    if (m_url.isEmpty())
        return;
    emit handedOver();
    QDesktopServices::openUrl(m_url);
}

} // namespace tessary
