#pragma once

#include <QByteArray>
#include <QHash>
#include <QMutex>
#include <QQuickImageProvider>
#include <QUuid>

namespace tessary {

class HistoryModel;

// "image://entry/<id>[/<corner radius in pixels>]": the image entry's bytes decoded, upright,
// scaled to fit inside the requested size with its aspect ratio kept (never enlarged), with its
// corners rounded when a radius is given (so a picture that reaches the tile's edges follows its
// rounded outline without a shader). Unknown ids and bytes that are no image end in an error, which
// the card shows as its placeholder.
//
// Views load these asynchronously: the engine's image loader thread decodes, never the GUI
// thread. The history lives on the GUI thread; the loader reads the provider's own copy of the
// entries' image bytes (byte arrays are shared, not copied), kept in step with the history for
// as long as the provider lives. The history must outlive it.
class EntryImageProvider : public QQuickImageProvider {
public:
    explicit EntryImageProvider(HistoryModel &history);

    QImage requestImage(const QString &id, QSize *size, const QSize &requestedSize) override;

private:
    void reindex();
    QByteArray bytes(const QUuid &id) const;

    HistoryModel &m_history;
    mutable QMutex m_mutex;
    QHash<QUuid, QByteArray> m_bytes;
};

} // namespace tessary
