#pragma once

#include "filethumbnails.h"

#include <QObject>
#include <QPointer>
#include <QQmlParserStatus>
#include <QSizeF>
#include <QUrl>

namespace tessary {

// What a file view shows: the file type's icon at once, then the content thumbnail when one
// arrives. One request is made when the view is complete and again whenever its URL or size
// changes or it becomes active again; a result for anything but the latest request is dropped.
// Failures leave the icon, silently.
class FileThumbnailSource : public QObject, public QQmlParserStatus {
    Q_OBJECT
    Q_INTERFACES(QQmlParserStatus)
    // Where thumbnails are made and held; no requests are made without it.
    Q_PROPERTY(tessary::FileThumbnails *thumbnails READ thumbnails WRITE setThumbnails NOTIFY
                   thumbnailsChanged FINAL)
    Q_PROPERTY(QUrl url READ url WRITE setUrl NOTIFY urlChanged FINAL)
    // In device-independent pixels.
    Q_PROPERTY(QSizeF targetSize READ targetSize WRITE setTargetSize NOTIFY targetSizeChanged FINAL)
    // 0 for the primary screen's ratio (2.0 when there is no screen).
    Q_PROPERTY(qreal devicePixelRatio READ devicePixelRatio WRITE setDevicePixelRatio NOTIFY
                   devicePixelRatioChanged FINAL)
    // Inactive views make no requests and drop the one in flight.
    Q_PROPERTY(bool active READ isActive WRITE setActive NOTIFY activeChanged FINAL)
    Q_PROPERTY(QUrl iconSource READ iconSource NOTIFY iconSourceChanged FINAL)
    Q_PROPERTY(QUrl thumbnailSource READ thumbnailSource NOTIFY thumbnailChanged FINAL)
    Q_PROPERTY(bool hasThumbnail READ hasThumbnail NOTIFY thumbnailChanged FINAL)
public:
    // In device-independent pixels, as the picture is shown.
    static constexpr qreal kCornerRadius = 4;

    using QObject::QObject;
    ~FileThumbnailSource() override;

    FileThumbnails *thumbnails() const { return m_thumbnails; }
    void setThumbnails(FileThumbnails *thumbnails);
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
    void thumbnailsChanged();
    void urlChanged();
    void targetSizeChanged();
    void devicePixelRatioChanged();
    void activeChanged();
    void iconSourceChanged();
    void thumbnailChanged();

private:
    void request();
    void setIconNames(const QStringList &names);
    void setThumbnail(const QImage &image);
    void dropThumbnail();

    QPointer<FileThumbnails> m_thumbnails;
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

// The icon names of the file's type, its own before the generic one, for the icon provider. With
// `byContent` the file is read and stat'ed (folders, files without extension): call that off the
// GUI thread.
QStringList fileIconNames(const QUrl &url, bool byContent);

} // namespace tessary
