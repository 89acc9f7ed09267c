#pragma once

#include <QDBusConnection>
#include <QFuture>
#include <QHash>
#include <QImage>
#include <QObject>
#include <QUrl>
#include <memory>

class QThreadPool;

namespace tessary {

// Makes content thumbnails of files.
class Thumbnailer {
public:
    virtual ~Thumbnailer() = default;
    // Starts making a thumbnail of the file meant for a box of `pixels`. The future finishes,
    // on any thread, with the picture or with a null image when none can be made. Never blocks.
    virtual QFuture<QImage> thumbnail(const QUrl &fileUrl, QSize pixels) = 0;
};

// The desktop's thumbnails: the shared freedesktop cache first, then the D-Bus thumbnailer
// service (org.freedesktop.thumbnails.Thumbnailer1, e.g. tumbler) when there is one, then a
// scaled decode in this process for image types Qt reads. Lives on the GUI thread; file work
// runs on the decoding pool it is given, which must outlive it.
class SystemThumbnailer : public QObject, public Thumbnailer {
    Q_OBJECT
public:
    static constexpr int kServiceTimeoutMs = 30000;

    SystemThumbnailer(QDBusConnection bus, QThreadPool &pool, QObject *parent = nullptr);
    ~SystemThumbnailer() override;

    QFuture<QImage> thumbnail(const QUrl &fileUrl, QSize pixels) override;

private slots:
    void onReady(uint handle, const QStringList &uris);
    void onError(uint handle, const QStringList &failedUris, int code, const QString &message);

private:
    struct Request;
    void askService(std::shared_ptr<Request> request);
    void serviceAnswered(uint handle, bool ready);
    static void decodeInProcess(std::shared_ptr<Request> request);

    QDBusConnection m_bus;
    QThreadPool &m_pool;
    QHash<uint, std::shared_ptr<Request>> m_queued;
    // Answers that came before the reply naming their handle (true: ready).
    QHash<uint, bool> m_earlyAnswers;
};

} // namespace tessary
