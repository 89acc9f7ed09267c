#include "waylandpasteboard.h"

#include "datacontrolsession.h"

#include <QLoggingCategory>
#include <csignal>

namespace tessary {

Q_LOGGING_CATEGORY(lcWaylandPasteboard, "tessary.wayland", QtInfoMsg)

using wayland::DataControlSession;

std::unique_ptr<WaylandPasteboard> WaylandPasteboard::create(const Options &options,
                                                             QObject *parent)
{
    auto session = std::make_unique<DataControlSession>(DataControlSession::Options{
        options.displayName,
        options.protocol == Protocol::Ext ? &wayland::kExtDataControl : &wayland::kWlrDataControl,
        {options.stallTimeout, options.maxPayloadBytes}});
    if (!session->isReady() || !session->isConnected()) {
        qCWarning(lcWaylandPasteboard) << "no Wayland data-control clipboard on this display";
        return nullptr;
    }
    // A receiver that closes its pipe early must cost a failed write, not the process.
    std::signal(SIGPIPE, SIG_IGN);
    return std::unique_ptr<WaylandPasteboard>(new WaylandPasteboard(std::move(session), parent));
}

WaylandPasteboard::WaylandPasteboard(std::unique_ptr<DataControlSession> session, QObject *parent)
    : Pasteboard(parent), m_session(std::move(session))
{
    m_session->onCountMoved = [this] {
        if (m_noticePending.exchange(true))
            return;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_noticePending = false;
                emit changeNoticed();
            },
            Qt::QueuedConnection);
    };
    m_session->onContentsLost = [this] {
        QMetaObject::invokeMethod(this, &Pasteboard::contentsLost, Qt::QueuedConnection);
    };
    m_session->onDisplayLost = [this] {
        QMetaObject::invokeMethod(this, &Pasteboard::displayLost, Qt::QueuedConnection);
    };
    m_worker = QThread::create([session = m_session.get()] { session->run(); });
    m_worker->setObjectName(QStringLiteral("wayland clipboard"));
    m_worker->start();
}

WaylandPasteboard::~WaylandPasteboard()
{
    m_session->stop();
    m_worker->wait();
    delete m_worker;
}

qint64 WaylandPasteboard::changeCount() const
{
    return m_session->changeCount();
}

QFuture<std::optional<Payload>> WaylandPasteboard::capture()
{
    auto promise = std::make_shared<QPromise<std::optional<Payload>>>();
    promise->start();
    QFuture<std::optional<Payload>> future = promise->future();
    m_session->capture(std::move(promise));
    return future;
}

void WaylandPasteboard::write(const Payload &payload)
{
    m_session->setSelection(payload);
}

bool WaylandPasteboard::restore(const Payload &payload)
{
    return m_session->restoreSelection(payload);
}

bool WaylandPasteboard::ownsClipboard() const
{
    return m_session->ownsSelection();
}

bool WaylandPasteboard::isConnected() const
{
    return m_session->isConnected();
}

} // namespace tessary
