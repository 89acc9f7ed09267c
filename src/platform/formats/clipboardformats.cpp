#include "clipboardformats.h"

namespace tessary {
namespace {

QByteArrayView withoutTrailingNuls(QByteArrayView data)
{
    while (!data.isEmpty() && data.back() == '\0')
        data.chop(1);
    return data;
}

QList<QByteArrayView> lines(QByteArrayView data)
{
    QList<QByteArrayView> result;
    while (!data.isEmpty()) {
        const qsizetype end = data.indexOf('\n');
        QByteArrayView line = end < 0 ? data : data.first(end);
        data = end < 0 ? QByteArrayView() : data.sliced(end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        result.append(line);
    }
    return result;
}

QUrl uriFromLine(QByteArrayView line)
{
    // Strict parsing: a malformed percent-escape makes the URL invalid rather than "fixed".
    // Bytes that are no UTF-8 would be replaced, and the URL would name another file.
    if (QString::fromUtf8(line).toUtf8() != line)
        return {};
    return QUrl::fromEncoded(line.toByteArray(), QUrl::StrictMode);
}

// A file: URL that names a file has an absolute path and nothing else after it ("file:name",
// "file://host" and "file:///a#b" name none).
bool namesNoFile(const QUrl &url)
{
    return url.isLocalFile() &&
           (!url.path().startsWith(u'/') || url.hasQuery() || url.hasFragment());
}

QList<QUrl> urisFromLines(const QList<QByteArrayView> &lines)
{
    QList<QUrl> urls;
    for (QByteArrayView line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        QUrl url = uriFromLine(line);
        // A malformed line, a relative reference or a file: URL of no file has no meaning on a
        // clipboard: it stays in the list as an empty URL, so the list is not mistaken for one of
        // files. (An invalid QUrl still reports its file: scheme.)
        if (!url.isValid() || url.isRelative() || namesNoFile(url))
            url = QUrl();
        urls.append(std::move(url));
    }
    return urls;
}

} // namespace

QList<QUrl> parseUriList(QByteArrayView data)
{
    return urisFromLines(lines(withoutTrailingNuls(data)));
}

QList<QUrl> parseGnomeCopiedFiles(QByteArrayView data)
{
    QList<QByteArrayView> all = lines(withoutTrailingNuls(data));
    if (all.isEmpty())
        return {};
    const QByteArrayView action = all.takeFirst().trimmed();
    if (action != "copy" && action != "cut")
        return {};
    return urisFromLines(all);
}

QByteArray encodeUriList(const QList<QUrl> &urls)
{
    QByteArray result;
    for (const QUrl &url : urls)
        result += url.toEncoded() + "\r\n";
    return result;
}

QByteArray encodeGnomeCopiedFiles(const QList<QUrl> &urls)
{
    QByteArray result("copy");
    for (const QUrl &url : urls)
        result += '\n' + url.toEncoded();
    return result;
}

QString filesAsText(const QList<QUrl> &urls)
{
    QStringList lines;
    for (const QUrl &url : urls)
        lines.append(url.isLocalFile() ? url.toLocalFile() : url.toString());
    return lines.join(u'\n');
}

QString decodeText(QByteArrayView data, TextEncoding encoding)
{
    data = withoutTrailingNuls(data);
    return encoding == TextEncoding::Utf8 ? QString::fromUtf8(data) : QString::fromLatin1(data);
}

} // namespace tessary
