#pragma once

#include <QHash>
#include <QImage>
#include <QMutex>
#include <QQuickImageProvider>

namespace tessary {

// Thumbnails made for views, held under a key until the view lets go of them, so that an
// Image can show one through the "thumbnail" provider.
class ThumbnailStore {
public:
    static ThumbnailStore &instance();

    // Holds the picture and returns the key it is held under.
    QString insert(const QImage &image);
    void remove(const QString &key);
    QImage value(const QString &key) const;
    qsizetype size() const;

private:
    mutable QMutex m_mutex;
    QHash<QString, QImage> m_images;
    quint64 m_nextKey = 1;
};

// image://thumbnail/<key>: a picture from the ThumbnailStore.
class ThumbnailImageProvider : public QQuickImageProvider {
public:
    static constexpr char kId[] = "thumbnail";
    ThumbnailImageProvider() : QQuickImageProvider(QQuickImageProvider::Image) {}
    QImage requestImage(const QString &id, QSize *size, const QSize &requestedSize) override;
};

// image://fileicon/<icon name>[/<generic icon name>]: the icon theme's icon of that name, else
// the generic one, else the icon bundled with the program.
class FileIconImageProvider : public QQuickImageProvider {
public:
    static constexpr char kId[] = "fileicon";
    FileIconImageProvider() : QQuickImageProvider(QQuickImageProvider::Pixmap) {}
    QPixmap requestPixmap(const QString &id, QSize *size, const QSize &requestedSize) override;
};

} // namespace tessary
