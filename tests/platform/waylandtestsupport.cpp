#include "waylandtestsupport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QThread>
#include <atomic>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <pwd.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

namespace tessary::testing {
namespace {

// The unprivileged user sway runs as when the tests run as root, made on first use.
std::optional<std::pair<uid_t, gid_t>> throwawayUser()
{
    const char *name = "tessary-test";
    if (!getpwnam(name))
        QProcess::execute("useradd", {"--system", "--no-create-home", "--home-dir", "/nonexistent",
                                      "--shell", "/usr/sbin/nologin", name});
    // Looked up again: a test running in parallel may have made it meanwhile.
    if (const passwd *user = getpwnam(name))
        return std::pair(user->pw_uid, user->pw_gid);
    return std::nullopt;
}

void destroyOffer(wayland::DataControlOffer *offer)
{
    if (offer)
        ext_data_control_offer_v1_destroy(offer);
}

QString compositorProgramPath()
{
    return QCoreApplication::applicationDirPath() + "/tessary_test_compositor";
}

} // namespace

PrivateCompositor::PrivateCompositor(Kind kind, const QStringList &globals)
{
    const QString dir = m_runtimeDir.path(); // made 0700
    QProcessEnvironment environment;
    environment.insert("PATH", qEnvironmentVariable("PATH"));
    environment.insert("HOME", dir);
    environment.insert("XDG_RUNTIME_DIR", dir);
    QString program = kind == Kind::Sway ? QString() : compositorProgramPath();
    QStringList arguments = globals;
    if (kind == Kind::Sway) {
        environment.insert("WLR_BACKENDS", "headless");
        environment.insert("WLR_LIBINPUT_NO_DEVICES", "1");
        environment.insert("WLR_RENDERER", "pixman");
        QFile config(dir + "/config");
        if (!config.open(QIODevice::WriteOnly) || config.write("xwayland disable\n") < 0)
            return;
        config.close();
        program = "sway";
        arguments = {"-c", config.fileName()};
        if (geteuid() == 0) {
            const auto user = throwawayUser();
            if (!user || chown(QFile::encodeName(dir), user->first, user->second) != 0)
                return;
            arguments =
                QStringList{QString("--reuid=%1").arg(user->first),
                            QString("--regid=%1").arg(user->second), "--clear-groups", program} +
                arguments;
            program = "setpriv"; // which execs sway: the process started is sway's
        }
    }
    m_process.setProcessEnvironment(environment);
    // Its log is shown only when it does not come up.
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.setStandardOutputFile(dir + "/compositor.log");
    m_process.start(program, arguments);
    // Ready once a client can connect to its wayland-N socket (which exists a moment before
    // anything listens on it).
    for (QDeadlineTimer deadline(10000); !deadline.hasExpired();) {
        const QStringList sockets = QDir(dir)
                                        .entryList({"wayland-*"}, QDir::System)
                                        .filter(QRegularExpression("^wayland-\\d+$"));
        const QByteArray socket =
            sockets.isEmpty() ? QByteArray() : QFile::encodeName(dir + '/' + sockets.first());
        if (wl_display *probe =
                socket.isEmpty() ? nullptr : wl_display_connect(socket.constData())) {
            wl_display_disconnect(probe);
            m_socket = socket;
            return;
        }
        if (m_process.state() == QProcess::NotRunning)
            break;
        QThread::msleep(10);
    }
    QFile log(dir + "/compositor.log");
    log.open(QIODevice::ReadOnly);
    qWarning().noquote() << program << arguments.join(' ') << "did not come up:" << log.readAll();
}

PrivateCompositor::~PrivateCompositor()
{
    // wl-copy processes serving in the background end with their compositor.
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
    m_process.waitForFinished(5000);
}

QProcessEnvironment PrivateCompositor::clientEnvironment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("WAYLAND_DISPLAY", QString::fromLocal8Bit(m_socket));
    return environment;
}

void PrivateCompositor::kill()
{
    m_process.kill();
    m_process.waitForFinished(5000);
}

bool copyWithWlCopy(const PrivateCompositor &compositor, const QStringList &arguments,
                    const QByteArray &input)
{
    return runClient("wl-copy", arguments, input, 10000, compositor.clientEnvironment())
        .has_value();
}

std::optional<QByteArray> pasteWithWlPaste(const PrivateCompositor &compositor,
                                           const QStringList &arguments, int timeoutMs)
{
    return runClient("wl-paste", QStringList{"--no-newline"} + arguments, {}, timeoutMs,
                     compositor.clientEnvironment());
}

bool WlClipboardPeer::copy(const QByteArray &text)
{
    return copyWithWlCopy(m_compositor, {}, text);
}

std::optional<QByteArray> WlClipboardPeer::paste()
{
    return pasteWithWlPaste(m_compositor, {});
}

bool WlClipboardPeer::startEditor(const QByteArray &text)
{
    m_editor.setProcessEnvironment(m_compositor.clientEnvironment());
    m_editor.start("wl-copy", {"--foreground", QString::fromUtf8(text)});
    return m_editor.waitForStarted();
}

void WlClipboardPeer::quitEditor()
{
    m_editor.terminate();
    m_editor.waitForFinished(5000);
}

bool WlClipboardPeer::quitEditorAndCopy(const QByteArray &text)
{
    quitEditor();
    if (!copy(text))
        return false;
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (paste() == text)
            return true;
        QThread::msleep(100);
    }
    return false;
}

DataControlClient::DataControlClient(const QByteArray &socket)
    : display(wl_display_connect(socket.constData()))
{
    if (!display)
        return;
    static const wl_registry_listener listener = {
        .global =
            [](void *data, wl_registry *registry, uint32_t name, const char *interface,
               uint32_t version) {
                auto *client = static_cast<DataControlClient *>(data);
                if (std::strcmp(interface, "wl_seat") == 0 && !client->seat)
                    client->seat = static_cast<wl_seat *>(
                        wl_registry_bind(registry, name, &wl_seat_interface, 1));
                if (std::strcmp(interface, wayland::kWlrDataControl.managerName) == 0)
                    client->manager =
                        wayland::bindManager(registry, name, version, wayland::kWlrDataControl);
            },
        .global_remove = [](void *, wl_registry *, uint32_t) {},
    };
    registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, this);
    wl_display_roundtrip(display);
    if (seat && manager)
        device = wayland::getDevice(manager, seat, wayland::kWlrDataControl);
}

bool DataControlClient::dispatch(int wakeFd, int timeoutMs)
{
    while (wl_display_prepare_read(display) != 0)
        wl_display_dispatch_pending(display);
    wl_display_flush(display);
    pollfd fds[] = {{wl_display_get_fd(display), POLLIN, 0}, {wakeFd, POLLIN, 0}};
    poll(fds, 2, timeoutMs);
    if (fds[0].revents)
        wl_display_read_events(display);
    else
        wl_display_cancel_read(display);
    return wl_display_dispatch_pending(display) >= 0;
}

DataControlClient::~DataControlClient()
{
    if (device)
        ext_data_control_device_v1_destroy(device);
    if (manager)
        ext_data_control_manager_v1_destroy(manager);
    if (seat)
        wl_seat_destroy(seat);
    if (registry)
        wl_registry_destroy(registry);
    if (display)
        wl_display_disconnect(display);
}

struct ForeignSource::State {
    QByteArray display;
    QList<Offer> offers;
    Behaviour behaviour;
    std::unique_ptr<DataControlClient> client{};
    wayland::DataControlSource *source = nullptr;
    int wakeFd = eventfd(0, EFD_CLOEXEC);
    std::thread thread{};
    std::atomic<bool> stop{false};
    mutable std::mutex mutex{};
    QStringList requests{};
    struct Transfer {
        int fd;
        QByteArray data;
        qsizetype sent = 0;
    };
    std::vector<Transfer> transfers{};

    static void send(void *data, wayland::DataControlSource *, const char *mimeType, int fd)
    {
        auto *state = static_cast<State *>(data);
        std::lock_guard lock(state->mutex);
        state->requests.append(QString::fromLatin1(mimeType));
        QByteArray bytes;
        for (const Offer &offer : std::as_const(state->offers)) {
            if (offer.mimeType == mimeType)
                bytes = offer.data;
        }
        fcntl(fd, F_SETFL, O_NONBLOCK);
        state->transfers.push_back({fd, bytes});
    }

    // Answering writes what the pipe takes; trickling one byte per round, forever.
    void writeSome()
    {
        for (Transfer &transfer : transfers) {
            const qsizetype left = transfer.data.size() - transfer.sent;
            const qsizetype size =
                behaviour == Behaviour::Trickle ? std::min<qsizetype>(left, 1) : left;
            const ssize_t written =
                size > 0 ? write(transfer.fd, transfer.data.constData() + transfer.sent, size) : 0;
            transfer.sent += std::max<ssize_t>(written, 0);
            if (behaviour == Behaviour::Trickle && transfer.sent == transfer.data.size())
                transfer.sent = 0; // and round again
        }
        std::erase_if(transfers, [](const Transfer &transfer) {
            const bool done = transfer.sent == transfer.data.size();
            if (done)
                close(transfer.fd);
            return done;
        });
    }

    void serve()
    {
        while (!stop && client->dispatch(wakeFd, behaviour == Behaviour::Trickle ? 50 : 5)) {
            std::lock_guard lock(mutex);
            writeSome();
        }
    }
};

ForeignSource::ForeignSource(const QByteArray &display, QList<Offer> offers, Behaviour behaviour)
    : d(new State{display, std::move(offers), behaviour})
{}

ForeignSource::~ForeignSource()
{
    exit();
    close(d->wakeFd);
}

bool ForeignSource::start()
{
    d->client = std::make_unique<DataControlClient>(d->display);
    if (!d->client->isReady())
        return false;
    static const ext_data_control_source_v1_listener sourceListener = {
        .send = &State::send,
        .cancelled = [](void *, wayland::DataControlSource *) {},
    };
    // Offers of the selection, our own included, are of no interest here.
    static const ext_data_control_device_v1_listener deviceListener = {
        .data_offer = [](void *, wayland::DataControlDevice *, wayland::DataControlOffer *) {},
        .selection = [](void *, wayland::DataControlDevice *,
                        wayland::DataControlOffer *offer) { destroyOffer(offer); },
        .finished = [](void *, wayland::DataControlDevice *) {},
        .primary_selection = [](void *, wayland::DataControlDevice *,
                                wayland::DataControlOffer *offer) { destroyOffer(offer); },
    };
    ext_data_control_device_v1_add_listener(d->client->device, &deviceListener, nullptr);
    d->source = wayland::createSource(d->client->manager, wayland::kWlrDataControl);
    ext_data_control_source_v1_add_listener(d->source, &sourceListener, d.get());
    for (const Offer &offer : std::as_const(d->offers))
        ext_data_control_source_v1_offer(d->source, offer.mimeType.constData());
    ext_data_control_device_v1_set_selection(d->client->device, d->source);
    const bool set = wl_display_roundtrip(d->client->display) >= 0;
    d->thread = std::thread([this] { d->serve(); });
    return set;
}

void ForeignSource::exit()
{
    d->stop = true;
    const quint64 one = 1;
    [[maybe_unused]] auto written = write(d->wakeFd, &one, sizeof one);
    if (d->thread.joinable())
        d->thread.join();
    for (const State::Transfer &transfer : d->transfers)
        close(transfer.fd);
    d->transfers.clear();
    if (d->source)
        ext_data_control_source_v1_destroy(d->source);
    d->source = nullptr;
    d->client.reset();
}

QStringList ForeignSource::requests() const
{
    std::lock_guard lock(d->mutex);
    return d->requests;
}

} // namespace tessary::testing
