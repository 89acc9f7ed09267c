#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QObject>
#include <QQuickAsyncImageProvider>
#include <QThreadPool>
#include <QUuid>
#include <memory>

namespace tessary {

class HistoryModel;

// The image bytes of the history's entries by id, readable from any thread. The history lives
// on the GUI thread; decoding threads read this copy instead (byte arrays are shared, not
// copied).
class EntryImageIndex {
public:
    QByteArray bytes(const QUuid &id) const;
    void replace(QHash<QUuid, QByteArray> bytes);

private:
    mutable QMutex m_mutex;
    QHash<QUuid, QByteArray> m_bytes;
};

// Keeps an index in step with a history; lives as long as the history (it is its child).
class EntryImageIndexer : public QObject {
    Q_OBJECT
public:
    EntryImageIndexer(HistoryModel &history, std::shared_ptr<EntryImageIndex> index);

private:
    void refresh();
    HistoryModel &m_history;
    std::shared_ptr<EntryImageIndex> m_index;
};

// "image://entry/<id>[/<corner radius in pixels>]": the image entry's bytes decoded on a worker
// thread, scaled to fit inside the requested size with its aspect ratio kept (never enlarged),
// with its corners rounded when a radius is given (so a picture that reaches the tile's edges
// follows its rounded outline without a shader). Unknown ids and bytes that are no image end in
// an error, which the card shows as its placeholder.
class EntryImageProvider : public QQuickAsyncImageProvider {
public:
    explicit EntryImageProvider(std::shared_ptr<EntryImageIndex> index);
    ~EntryImageProvider() override;

    QQuickImageResponse *requestImageResponse(const QString &id,
                                              const QSize &requestedSize) override;

private:
    std::shared_ptr<EntryImageIndex> m_index;
    QThreadPool m_pool;
};

// Decodes bytes at the size a view asked for: fitting inside requestedSize (a zero or negative
// dimension leaves that side free). Null when the bytes are not an image.
QImage decodeScaledImage(const QByteArray &bytes, const QSize &requestedSize,
                         QString *errorString = nullptr);

} // namespace tessary
