#include "x11pasteboard.h"

#include "clipboardreading.h"
#include "selectionowner.h"
#include "selectionreader.h"

#include <QLoggingCategory>
#include <QPromise>
#include <QSocketNotifier>
#include <algorithm>
#include <poll.h>
#include <xcb/xfixes.h>

namespace tessary {

Q_LOGGING_CATEGORY(lcX11, "tessary.x11", QtInfoMsg)

using namespace x11;

std::unique_ptr<X11Pasteboard> X11Pasteboard::create(const Options &options, QObject *parent)
{
    std::unique_ptr<X11Pasteboard> pasteboard(new X11Pasteboard(options, parent));
    if (!pasteboard->isUsable()) {
        qCWarning(lcX11) << "no X11 clipboard: cannot open the display or it lacks XFixes";
        return nullptr;
    }
    return pasteboard;
}

X11Pasteboard::X11Pasteboard(const Options &options, QObject *parent)
    : Pasteboard(parent), m_atoms(std::make_unique<Atoms>())
{
    const QByteArray display = options.displayName;
    m_connection = xcb_connect(display.isEmpty() ? nullptr : display.constData(), nullptr);
    if (xcb_connection_has_error(m_connection) || !m_atoms->intern(m_connection))
        return;
    m_window = createPrivateWindow(m_connection);
    m_xfixesEvent = watchSelectionOwner(m_connection, m_window, m_atoms->clipboard);
    XcbPtr<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        m_connection, xcb_get_selection_owner(m_connection, m_atoms->clipboard), nullptr));
    m_knownOwner = owner ? owner->owner : XCB_NONE;
    m_owner = std::make_unique<SelectionOwner>(m_connection, *m_atoms, m_window);

    m_notifier =
        new QSocketNotifier(xcb_get_file_descriptor(m_connection), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &X11Pasteboard::processEvents);

    m_reader = std::make_unique<SelectionReader>(
        display, SelectionReader::Limits{options.stallTimeout, options.maxPayloadBytes});
    m_readerContext = new QObject;
    m_readerContext->moveToThread(&m_readerThread);
    connect(&m_readerThread, &QThread::finished, m_readerContext, &QObject::deleteLater);
    m_readerThread.setObjectName(QStringLiteral("clipboard reader"));
    m_readerThread.start();
    xcb_flush(m_connection);
}

X11Pasteboard::~X11Pasteboard()
{
    if (m_reader)
        m_reader->shutDown();
    m_readerThread.quit();
    m_readerThread.wait();
    m_owner.reset();
    for (xcb_generic_event_t *event : m_pending)
        std::free(event);
    xcb_disconnect(m_connection);
}

bool X11Pasteboard::isUsable() const
{
    return m_xfixesEvent >= 0 && m_reader && m_reader->isConnected();
}

bool X11Pasteboard::ownsClipboard() const
{
    return m_knownOwner == m_window && m_owner->hasOffer();
}

QFuture<std::optional<Payload>> X11Pasteboard::capture()
{
    auto promise = std::make_shared<QPromise<std::optional<Payload>>>();
    const quint64 ticket = ++m_newestCapture;
    SelectionReader *reader = m_reader.get();
    QMetaObject::invokeMethod(
        m_readerContext,
        [this, reader, promise, ticket] {
            promise->start();
            // Captures queued behind a slow one are stale but for the newest.
            std::optional<Payload> payload;
            if (ticket == m_newestCapture.load())
                payload = captureClipboard(*reader);
            promise->addResult(std::move(payload));
            promise->finish();
        },
        Qt::QueuedConnection);
    return promise->future();
}

xcb_timestamp_t X11Pasteboard::serverTime()
{
    // ICCCM: ownership is taken with a real timestamp. Appending nothing to a property of our
    // own window makes the server report its time in a PropertyNotify.
    xcb_change_property(m_connection, XCB_PROP_MODE_APPEND, m_window, m_atoms->timestampProperty,
                        XCB_ATOM_INTEGER, 32, 0, nullptr);
    xcb_flush(m_connection);
    for (int waitedMs = 0; waitedMs < 1000;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            if (eventType(event) == XCB_PROPERTY_NOTIFY) {
                auto notify = reinterpret_cast<xcb_property_notify_event_t *>(event);
                if (notify->window == m_window && notify->atom == m_atoms->timestampProperty) {
                    const xcb_timestamp_t time = notify->time;
                    std::free(event);
                    return time;
                }
            }
            m_pending.push_back(event);
        }
        if (xcb_connection_has_error(m_connection))
            break;
        pollfd fd{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        poll(&fd, 1, 50);
        waitedMs += 50;
    }
    return XCB_CURRENT_TIME;
}

void X11Pasteboard::write(const Payload &payload)
{
    if (!xcb_connection_has_error(m_connection))
        takeClipboard(payload, serverTime());
}

bool X11Pasteboard::restore(const Payload &payload)
{
    if (xcb_connection_has_error(m_connection))
        return false;
    // The server reports every change of owner it made before it tells us its time: by then, a
    // copy made after the clipboard was emptied is known or waits among the pending events.
    const xcb_timestamp_t time = serverTime();
    if (m_knownOwner != XCB_NONE ||
        std::any_of(m_pending.cbegin(), m_pending.cend(), [this](const xcb_generic_event_t *event) {
            return isForeignOwnerChange(event);
        }))
        return false;
    return takeClipboard(payload, time);
}

bool X11Pasteboard::isForeignOwnerChange(const xcb_generic_event_t *event) const
{
    if (eventType(event) != m_xfixesEvent)
        return false;
    auto notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t *>(event);
    return notify->selection == m_atoms->clipboard &&
           notify->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER &&
           notify->owner != XCB_NONE && notify->owner != m_window;
}

bool X11Pasteboard::takeClipboard(const Payload &payload, xcb_timestamp_t time)
{
    m_owner->offer(payload, time);
    xcb_set_selection_owner(m_connection, m_window, m_atoms->clipboard, time);
    XcbPtr<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        m_connection, xcb_get_selection_owner(m_connection, m_atoms->clipboard), nullptr));
    const bool taken = owner && owner->owner == m_window;
    if (taken) {
        // Counted now, so that the caller can adopt the count at once; the notification that
        // follows is recognised by its timestamp and not counted again.
        m_ownOwnerships.append(time);
        m_ownedSince = time;
        m_knownOwner = m_window;
        ++m_changeCount;
    } else {
        qCWarning(lcX11) << "could not take the clipboard";
        m_owner->clear();
    }
    // The round trips may have queued events that the socket notifier will not announce.
    QMetaObject::invokeMethod(this, &X11Pasteboard::processEvents, Qt::QueuedConnection);
    return taken;
}

void X11Pasteboard::processEvents()
{
    // Answers are written synchronously: one turn of the event loop serves a bounded share of
    // the queued events and leaves the rest to the next turn, so that no flood of requests
    // holds the GUI thread.
    const qint64 countBefore = m_changeCount.load();
    const qint64 writtenBefore = m_owner->bytesWritten();
    bool turnUsedUp = false;
    for (int handled = 0;; ++handled) {
        if (handled == kEventsPerTurn || m_owner->bytesWritten() - writtenBefore >= kBytesPerTurn) {
            turnUsedUp = true;
            break;
        }
        xcb_generic_event_t *event = nullptr;
        if (!m_pending.empty()) {
            event = m_pending.front();
            m_pending.pop_front();
        } else {
            event = xcb_poll_for_event(m_connection);
        }
        if (!event)
            break;
        handleEvent(event);
        std::free(event);
    }
    if (m_changeCount.load() != countBefore)
        emit changeNoticed(); // once for all the owner changes read together
    if (turnUsedUp && !std::exchange(m_continuationQueued, true)) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_continuationQueued = false;
                processEvents();
            },
            Qt::QueuedConnection);
    }
    if (xcb_connection_has_error(m_connection) && m_notifier->isEnabled()) {
        qCWarning(lcX11) << "lost the connection to the X server";
        m_notifier->setEnabled(false);
        emit displayLost();
    }
}

void X11Pasteboard::handleEvent(const xcb_generic_event_t *event)
{
    switch (eventType(event)) {
    case XCB_SELECTION_REQUEST:
        m_owner->handleSelectionRequest(
            reinterpret_cast<const xcb_selection_request_event_t *>(event));
        return;
    case XCB_SELECTION_CLEAR: {
        // A clear older than our latest ownership is about an ownership we have since renewed.
        auto clear = reinterpret_cast<const xcb_selection_clear_event_t *>(event);
        if (clear->time >= m_ownedSince)
            m_owner->clear();
        return;
    }
    case XCB_PROPERTY_NOTIFY:
        m_owner->handlePropertyNotify(reinterpret_cast<const xcb_property_notify_event_t *>(event));
        return;
    default:
        if (eventType(event) == m_xfixesEvent)
            handleOwnerChange(event);
        return;
    }
}

void X11Pasteboard::handleOwnerChange(const xcb_generic_event_t *event)
{
    auto notify = reinterpret_cast<const xcb_xfixes_selection_notify_event_t *>(event);
    if (notify->selection != m_atoms->clipboard)
        return;
    if (notify->subtype == XCB_XFIXES_SELECTION_EVENT_SET_SELECTION_OWNER) {
        const bool ours =
            notify->owner == m_window && m_ownOwnerships.removeOne(notify->selection_timestamp);
        if (!ours)
            ++m_changeCount;
        m_knownOwner = notify->owner;
        return;
    }
    // The owner's window or the owner itself went away and left the clipboard empty. An owner
    // that gives the clipboard up on purpose sets it to None instead, and is left alone.
    ++m_changeCount;
    const bool hadOwner = m_knownOwner != XCB_NONE;
    m_knownOwner = XCB_NONE;
    if (hadOwner)
        QMetaObject::invokeMethod(this, &Pasteboard::contentsLost, Qt::QueuedConnection);
}

} // namespace tessary
