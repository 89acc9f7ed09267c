#pragma once

#include <QObject>
#include <QQmlParserStatus>
#include <QSizeF>
#include <QUrl>

namespace tessary {

class Thumbnailer;

// What a file view shows: the file type's icon at once, then the content thumbnail when one
// arrives. One request is made when the view is complete and again whenever its URL or size
// changes or it becomes active again; a result for anything but the latest request is dropped.
// Failures leave the icon, silently.
class FileThumbnailSource : public QObject, public QQmlParserStatus {
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    Q_PROPERTY(QUrl url READ url WRITE setUrl NOTIFY urlChanged)
    // In device-independent pixels.
    Q_PROPERTY(QSizeF targetSize READ targetSize WRITE setTargetSize NOTIFY targetSizeChanged)
    // 0 for the primary screen's ratio (2.0 when there is no screen).
    Q_PROPERTY(qreal devicePixelRatio READ devicePixelRatio WRITE setDevicePixelRatio NOTIFY
                   devicePixelRatioChanged)
    // Inactive views make no requests and drop the one in flight.
    Q_PROPERTY(bool active READ isActive WRITE setActive NOTIFY activeChanged)
    Q_PROPERTY(QUrl iconSource READ iconSource NOTIFY iconSourceChanged)
    Q_PROPERTY(QUrl thumbnailSource READ thumbnailSource NOTIFY thumbnailChanged)
    Q_PROPERTY(bool hasThumbnail READ hasThumbnail NOTIFY thumbnailChanged)
public:
    // In device-independent pixels, as the picture is shown.
    static constexpr qreal kCornerRadius = 4;

    // Uses the desktop's thumbnails (SystemThumbnailer::instance()).
    explicit FileThumbnailSource(QObject *parent = nullptr);
    explicit FileThumbnailSource(Thumbnailer &thumbnailer, QObject *parent = nullptr);
    ~FileThumbnailSource() override;

    QUrl url() const { return m_url; }
    void setUrl(const QUrl &url);
    QSizeF targetSize() const { return m_targetSize; }
    void setTargetSize(const QSizeF &size);
    qreal devicePixelRatio() const { return m_devicePixelRatio; }
    void setDevicePixelRatio(qreal ratio);
    bool isActive() const { return m_active; }
    void setActive(bool active);

    QUrl iconSource() const { return m_iconSource; }
    QUrl thumbnailSource() const;
    bool hasThumbnail() const { return !m_thumbnailKey.isEmpty(); }

    // The size in pixels the thumbnail is asked for.
    QSize requestedPixels() const;

    void classBegin() override {}
    void componentComplete() override;

signals:
    void urlChanged();
    void targetSizeChanged();
    void devicePixelRatioChanged();
    void activeChanged();
    void iconSourceChanged();
    void thumbnailChanged();

private:
    void request();
    void setIconNames(const QString &names);
    void setThumbnail(const QImage &image);

    Thumbnailer *m_thumbnailer = nullptr; // null: the desktop's
    QUrl m_url;
    QSizeF m_targetSize{296, 140};
    qreal m_devicePixelRatio = 0;
    bool m_active = true;
    bool m_complete = false;
    QUrl m_iconSource;
    QString m_thumbnailKey;
    // Identifies the latest request; older results are dropped.
    quint64 m_ticket = 0;
};

// The image with its corners cut to this radius in its own pixels (antialiased, transparent
// outside).
QImage roundedCorners(const QImage &image, qreal radius);
// The picture with its corners cut round, so that fitted into `box` (keeping its proportions)
// they have `radius`.
QImage withRoundedCorners(const QImage &image, QSizeF box, qreal radius);

// "<icon>/<generic icon>" of the file's type for the fileicon provider. With `byContent` the
// file is read and stat'ed (folders, files without extension): call that off the GUI thread.
QString fileIconNames(const QUrl &url, bool byContent);

} // namespace tessary
