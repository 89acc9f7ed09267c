#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QUrl>

// The freedesktop.org thumbnail managing standard's shared cache: PNG files named by the MD5 of
// the file's URI, in $XDG_CACHE_HOME/thumbnails/<flavor>, valid while their Thumb::MTime equals
// the file's modification time.
namespace tessary::thumbnailcache {

// The URI the thumbnail of a local file is filed under (an absolute, percent-encoded file: URI).
QByteArray canonicalUri(const QUrl &fileUrl);
// $XDG_CACHE_HOME/thumbnails, or ~/.cache/thumbnails.
QString cacheRoot();
// The flavor to ask a thumbnailer for: the smallest of "large" (256) and "x-large" (512) that
// covers the longer side, else "x-large".
QString flavorFor(QSize pixels);
// The flavor directories worth looking in, best first.
QStringList lookupFlavors(QSize pixels);
QString thumbnailPath(const QUrl &fileUrl, const QString &flavor);

// A valid cached thumbnail of the local file, or a null image. Reads files: call it off the GUI
// thread.
QImage read(const QUrl &fileUrl, QSize pixels);

} // namespace tessary::thumbnailcache
