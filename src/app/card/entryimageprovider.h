#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QQuickAsyncImageProvider>
#include <QUuid>

class QThreadPool;

namespace tessary {

class HistoryModel;

// "image://entry/<id>[/<corner radius in pixels>]": the image entry's bytes decoded on the
// decoding pool, upright, scaled to fit inside the requested size with its aspect ratio kept
// (never enlarged), with its corners rounded when a radius is given (so a picture that reaches
// the tile's edges follows its rounded outline without a shader). Unknown ids and bytes that are
// no image end in an error, which the card shows as its placeholder.
//
// The history lives on the GUI thread; decoding threads read the provider's own copy of the
// entries' image bytes (byte arrays are shared, not copied), kept in step with the history for
// as long as the provider lives. The history and the pool must outlive it.
class EntryImageProvider : public QQuickAsyncImageProvider {
public:
    EntryImageProvider(HistoryModel &history, QThreadPool &pool);

    QQuickImageResponse *requestImageResponse(const QString &id,
                                              const QSize &requestedSize) override;

private:
    void reindex();
    QByteArray bytes(const QUuid &id) const;

    HistoryModel &m_history;
    QThreadPool &m_pool;
    mutable QMutex m_mutex;
    QHash<QUuid, QByteArray> m_bytes;
};

} // namespace tessary
