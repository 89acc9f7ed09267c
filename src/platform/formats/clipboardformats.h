#pragma once

// How clipboard contents are spelled on X11 and Wayland alike: URI lists (RFC 2483), the file
// managers' x-special/gnome-copied-files, and the text encodings. Pure functions, no connection
// needed.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

namespace tessary {

// The URIs of a text/uri-list in order. Comment lines ("#") and blank lines are skipped, CRLF
// and bare LF both end a line. A line that is no valid absolute URI (or no UTF-8), or a file: URL
// without an absolute path or with a query or fragment, still yields an entry (an invalid QUrl),
// so a list holding one never counts as a list of files.
QList<QUrl> parseUriList(QByteArrayView data);
// The URIs of x-special/gnome-copied-files: a "copy" or "cut" line, then one URI per line.
QList<QUrl> parseGnomeCopiedFiles(QByteArrayView data);

// text/uri-list as RFC 2483 writes it: one encoded URI per line, each ended by CRLF.
QByteArray encodeUriList(const QList<QUrl> &urls);
// "copy", then one encoded URI per line, as file managers paste it.
QByteArray encodeGnomeCopiedFiles(const QList<QUrl> &urls);
// Files as a text field takes them from a file manager: the local paths (other URLs as written),
// one a line.
QString filesAsText(const QList<QUrl> &urls);

enum class TextEncoding { Utf8, Latin1 };
// Invalid UTF-8 becomes replacement characters. NUL terminators some owners append are dropped.
QString decodeText(QByteArrayView data, TextEncoding encoding);

} // namespace tessary
