#pragma once

#include <QFutureWatcher>
#include <QObject>

namespace tessary {

// Runs `callback(future)` on the context's thread when the future finishes, results or not
// (cancelled futures included), unless the context is gone by then. Unlike QFuture::then with a
// context, safe when the context is destroyed first.
template <typename T, typename Callback>
void whenFinished(QObject *context, QFuture<T> future, Callback callback)
{
    auto *watcher = new QFutureWatcher<T>(context);
    QObject::connect(watcher, &QFutureWatcherBase::finished, context,
                     [watcher, callback = std::move(callback)]() mutable {
                         watcher->deleteLater();
                         callback(watcher->future());
                     });
    watcher->setFuture(std::move(future));
}

} // namespace tessary
