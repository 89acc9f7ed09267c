#include "x11testsupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>
#include <atomic>
#include <cstdlib>
#include <thread>
#include <xcb/xcb.h>

namespace tessary::testing {

PrivateXServer::PrivateXServer() : m_previousDisplay(qgetenv("DISPLAY"))
{
    // -displayfd 1: Xvfb picks a free display and writes its number to its standard output.
    m_process.start(QStringLiteral("Xvfb"), {"-displayfd", "1", "-screen", "0", "640x480x24",
                                             "-nolisten", "tcp", "-noreset"});
    QElapsedTimer waited;
    waited.start();
    QByteArray output;
    while (!output.contains('\n') && waited.elapsed() < 10000 &&
           m_process.state() != QProcess::NotRunning) {
        m_process.waitForReadyRead(100);
        output += m_process.readAllStandardOutput();
    }
    if (!output.contains('\n'))
        return;
    m_display = ':' + output.trimmed();
    qputenv("DISPLAY", m_display);
}

PrivateXServer::~PrivateXServer()
{
    // Clients started by the test (xclip serving in the background) end with the server.
    m_process.terminate();
    m_process.waitForFinished(5000);
    qputenv("DISPLAY", m_previousDisplay);
}

namespace {

// Waits for the process while the event loop runs.
bool waitWithEvents(QProcess &process, int timeoutMs)
{
    if (process.state() == QProcess::NotRunning)
        return process.exitStatus() == QProcess::NormalExit;
    QEventLoop loop;
    QObject::connect(&process, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished();
        return false;
    }
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

namespace {

// The CLIPBOARD owner's window as the server sees it now.
xcb_window_t clipboardOwner(xcb_connection_t *c)
{
    const char name[] = "CLIPBOARD";
    xcb_intern_atom_reply_t *atom =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, sizeof name - 1, name), nullptr);
    if (!atom)
        return XCB_NONE;
    xcb_get_selection_owner_reply_t *owner =
        xcb_get_selection_owner_reply(c, xcb_get_selection_owner(c, atom->atom), nullptr);
    const xcb_window_t window = owner ? owner->owner : XCB_NONE;
    std::free(atom);
    std::free(owner);
    return window;
}

} // namespace

namespace {

// Runs a clipboard tool that forks once it has read its input; its first process may end
// before the fork has taken the clipboard, so this waits until the server reports a new owner.
bool setClipboardWithTool(const QString &program, const QStringList &arguments,
                          const QByteArray &data)
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    const xcb_window_t previousOwner = clipboardOwner(c);
    QProcess tool;
    tool.start(program, arguments);
    bool owned = tool.waitForStarted();
    if (owned) {
        tool.write(data);
        tool.closeWriteChannel();
        owned = waitWithEvents(tool, 10000);
    }
    QElapsedTimer waited;
    waited.start();
    while (owned && clipboardOwner(c) == previousOwner) {
        owned = waited.elapsed() < 5000;
        QThread::msleep(2);
    }
    xcb_disconnect(c);
    return owned;
}

} // namespace

bool setClipboardWithXclip(const QByteArray &target, const QByteArray &data)
{
    return setClipboardWithTool(
        QStringLiteral("xclip"),
        {"-selection", "clipboard", "-t", QString::fromLatin1(target), "-i"}, data);
}

bool setClipboardWithXsel(const QByteArray &text)
{
    return setClipboardWithTool(QStringLiteral("xsel"), {"--clipboard", "--input"}, text);
}

std::optional<QByteArray> readClipboardWithXsel()
{
    QProcess xsel;
    xsel.start(QStringLiteral("xsel"), {"--clipboard", "--output"});
    if (!waitWithEvents(xsel, 10000))
        return std::nullopt;
    return xsel.readAllStandardOutput();
}

std::optional<QByteArray> readClipboardWithXclip(const QByteArray &target, int timeoutMs)
{
    QProcess xclip;
    xclip.start(QStringLiteral("xclip"),
                {"-selection", "clipboard", "-o", "-t", QString::fromLatin1(target)});
    if (!waitWithEvents(xclip, timeoutMs))
        return std::nullopt;
    return xclip.readAllStandardOutput();
}

namespace {

xcb_atom_t atomNamed(xcb_connection_t *c, const QByteArray &name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, name.size(), name.constData()), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : XCB_NONE;
    std::free(reply);
    return atom;
}

std::optional<QByteArray> takeProperty(xcb_connection_t *c, xcb_window_t window, xcb_atom_t name)
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        c, xcb_get_property(c, 1, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 20), nullptr);
    std::optional<QByteArray> value;
    if (reply && reply->type != XCB_NONE)
        value = QByteArray(static_cast<const char *>(xcb_get_property_value(reply)),
                           xcb_get_property_value_length(reply));
    std::free(reply);
    return value;
}

std::optional<QList<std::optional<QByteArray>>>
convertMultipleBlocking(const QList<QByteArray> &targets)
{
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    QList<xcb_atom_t> pairs;
    for (qsizetype i = 0; i < targets.size(); ++i) {
        pairs.append(atomNamed(c, targets[i]));
        pairs.append(atomNamed(c, "RESULT_" + QByteArray::number(i)));
    }
    const xcb_atom_t pairsProperty = atomNamed(c, "PAIRS");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, pairsProperty, atomNamed(c, "ATOM_PAIR"),
                        32, pairs.size(), pairs.constData());
    xcb_convert_selection(c, window, atomNamed(c, "CLIPBOARD"), atomNamed(c, "MULTIPLE"),
                          pairsProperty, XCB_CURRENT_TIME);
    xcb_flush(c);
    std::optional<QList<std::optional<QByteArray>>> results;
    while (xcb_generic_event_t *event = xcb_wait_for_event(c)) {
        const bool notified = (event->response_type & 0x7f) == XCB_SELECTION_NOTIFY;
        const bool refused =
            notified && reinterpret_cast<xcb_selection_notify_event_t *>(event)->property == 0;
        std::free(event);
        if (!notified)
            continue;
        if (refused)
            break;
        const std::optional<QByteArray> answered = takeProperty(c, window, pairsProperty);
        if (!answered || answered->size() != pairs.size() * qsizetype(sizeof(xcb_atom_t)))
            break;
        const auto *answeredPairs = reinterpret_cast<const xcb_atom_t *>(answered->constData());
        results.emplace();
        for (qsizetype i = 0; i < targets.size(); ++i) {
            const xcb_atom_t property = answeredPairs[2 * i + 1];
            results->append(property == XCB_NONE ? std::nullopt
                                                 : takeProperty(c, window, property));
        }
        break;
    }
    xcb_disconnect(c);
    return results;
}

} // namespace

std::optional<QList<std::optional<QByteArray>>> convertMultiple(const QList<QByteArray> &targets)
{
    std::optional<QList<std::optional<QByteArray>>> results;
    std::atomic<bool> done = false;
    std::thread requestor([&] {
        results = convertMultipleBlocking(targets);
        done = true;
    });
    QElapsedTimer waited;
    waited.start();
    while (!done && waited.elapsed() < 10000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    requestor.join(); // a refusing or hung owner would have answered None or timed out the test
    return results;
}

} // namespace tessary::testing
