#pragma once

#include <QFuture>
#include <QHash>
#include <QImage>
#include <QMutex>
#include <QObject>
#include <QQuickImageProvider>
#include <QUrl>

class QQmlEngine;

namespace tessary {

class Thumbnailer;

// The thumbnails of files the views show: made by the thumbnailer, then held under a key for as
// long as a view shows them, so that an Image can draw one through the "thumbnail" provider.
// One per process, shared by the panel and the previewer.
class FileThumbnails : public QObject {
    Q_OBJECT
public:
    explicit FileThumbnails(Thumbnailer &thumbnailer, QObject *parent = nullptr);

    // Starts making the file's thumbnail for a box of `pixels`; see Thumbnailer::thumbnail.
    QFuture<QImage> make(const QUrl &fileUrl, QSize pixels);

    // Holds the picture and returns the key it is held under.
    QString insert(const QImage &image);
    void remove(const QString &key);
    QImage value(const QString &key) const;
    qsizetype size() const;
    // What an Image shows for the key.
    static QUrl source(const QString &key);

private:
    Thumbnailer &m_thumbnailer;
    mutable QMutex m_mutex;
    QHash<QString, QImage> m_images;
    quint64 m_nextKey = 1;
};

// image://thumbnail/<key>: a picture held by FileThumbnails.
class ThumbnailImageProvider : public QQuickImageProvider {
public:
    static constexpr char kId[] = "thumbnail";
    explicit ThumbnailImageProvider(const FileThumbnails &thumbnails)
        : QQuickImageProvider(QQuickImageProvider::Image), m_thumbnails(thumbnails)
    {}
    QImage requestImage(const QString &id, QSize *size, const QSize &requestedSize) override;

private:
    const FileThumbnails &m_thumbnails;
};

// Adds what an engine whose views show files needs: the "icon" and "thumbnail" providers.
void addFileImageProviders(QQmlEngine &engine, FileThumbnails &thumbnails);

} // namespace tessary
