// Capture latency, large-image capture cost and GUI-thread stalls of the Wayland clipboard,
// measured against a private headless sway with wl-copy on the other side.

#include "common/clipboardbench.h"
#include "platform/wayland/waylandpasteboard.h"
#include "platform/waylandtestsupport.h"

#include <QCoreApplication>
#include <QTemporaryFile>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

using namespace tessary;
using namespace tessary::bench;
using namespace tessary::testing;

namespace {

// Stamps each selection change the compositor reports, from a thread of its own.
class SelectionStamps : public OwnerChangeStamps {
public:
    explicit SelectionStamps(const QByteArray &socket) : m_client(socket)
    {
        static const ext_data_control_device_v1_listener listener = {
            .data_offer = [](void *, wayland::DataControlDevice *, wayland::DataControlOffer *) {},
            .selection =
                [](void *data, wayland::DataControlDevice *, wayland::DataControlOffer *offer) {
                    auto *stamps = static_cast<SelectionStamps *>(data);
                    if (offer)
                        ext_data_control_offer_v1_destroy(offer);
                    if (std::exchange(stamps->m_started, true))
                        stamps->stamp();
                },
            .finished = [](void *, wayland::DataControlDevice *) {},
            .primary_selection =
                [](void *, wayland::DataControlDevice *, wayland::DataControlOffer *offer) {
                    if (offer)
                        ext_data_control_offer_v1_destroy(offer);
                },
        };
        ext_data_control_device_v1_add_listener(m_client.device, &listener, this);
        wl_display_roundtrip(m_client.display);
        m_thread = std::thread([this] {
            while (!m_stop && m_client.dispatch(m_wakeFd, -1))
                continue;
        });
    }
    ~SelectionStamps() override
    {
        m_stop = true;
        const quint64 one = 1;
        [[maybe_unused]] auto written = write(m_wakeFd, &one, sizeof one);
        m_thread.join();
        close(m_wakeFd);
    }

private:
    DataControlClient m_client;
    bool m_started = false; // the first event is the state at start
    std::atomic<bool> m_stop{false};
    int m_wakeFd = eventfd(0, EFD_CLOEXEC);
    std::thread m_thread;
};

// A bare read of one type, for comparison: blocking, no priority, no limits.
QByteArray rawRead(const QByteArray &socket, const char *mimeType)
{
    DataControlClient client(socket);
    wayland::DataControlOffer *selection = nullptr;
    static const ext_data_control_device_v1_listener listener = {
        .data_offer = [](void *, wayland::DataControlDevice *, wayland::DataControlOffer *) {},
        .selection =
            [](void *data, wayland::DataControlDevice *, wayland::DataControlOffer *offer) {
                *static_cast<wayland::DataControlOffer **>(data) = offer;
            },
        .finished = [](void *, wayland::DataControlDevice *) {},
        .primary_selection = [](void *, wayland::DataControlDevice *,
                                wayland::DataControlOffer *) {},
    };
    ext_data_control_device_v1_add_listener(client.device, &listener, &selection);
    wl_display_roundtrip(client.display);
    int ends[2];
    if (!selection || pipe2(ends, O_CLOEXEC) != 0)
        return {};
    ext_data_control_offer_v1_receive(selection, mimeType, ends[1]);
    wl_display_flush(client.display);
    close(ends[1]);
    QByteArray data;
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (ssize_t count; (count = read(ends[0], buffer.data(), buffer.size())) > 0;)
        data.append(buffer.constData(), count);
    close(ends[0]);
    ext_data_control_offer_v1_destroy(selection);
    return data;
}

void measureLargeImage(WaylandPasteboard &pasteboard, const PrivateCompositor &sway)
{
    QTemporaryFile file;
    file.open();
    file.write(largePng());
    file.flush();
    const qint64 before = pasteboard.changeCount();
    QProcess copy;
    copy.setProcessEnvironment(sway.clientEnvironment());
    copy.setStandardInputFile(file.fileName());
    copy.start("wl-copy", {"--type", "image/png"});
    copy.waitForFinished();
    spinUntil([&] { return pasteboard.changeCount() != before; }, 5000);
    spin(200);
    compareWithRawRead(pasteboard, "wl-copy", "raw blocking read", file.size(),
                       [&] { return rawRead(sway.socket(), "image/png"); });
}

void measureHungOwner(WaylandPasteboard &pasteboard, const PrivateCompositor &sway)
{
    const qint64 before = pasteboard.changeCount();
    QProcess hung;
    hung.setProcessEnvironment(sway.clientEnvironment());
    hung.start("wl-copy", {"--foreground", "never sent"});
    spinUntil([&] { return pasteboard.changeCount() != before; }, 5000);
    ::kill(pid_t(hung.processId()), SIGSTOP);
    measureHungOwnerStall(pasteboard);
    hung.kill();
    hung.waitForFinished();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    PrivateCompositor sway(PrivateCompositor::Kind::Sway);
    if (!sway.isRunning()) {
        std::fprintf(stderr, "sway did not start\n");
        return 1;
    }
    std::unique_ptr<WaylandPasteboard> pasteboard =
        WaylandPasteboard::create({sway.socket(), WaylandPasteboard::Protocol::Wlr});
    if (!pasteboard)
        return 1;
    const QStringList only = app.arguments().mid(1);
    const auto wanted = [&](const char *name) { return only.isEmpty() || only.contains(name); };
    if (wanted("latency")) {
        SelectionStamps stamps(sway.socket());
        measureCaptureLatency(*pasteboard, stamps, "wl-copy", {}, sway.clientEnvironment());
    }
    if (wanted("large"))
        measureLargeImage(*pasteboard, sway);
    if (wanted("hung"))
        measureHungOwner(*pasteboard, sway);
    return 0;
}
