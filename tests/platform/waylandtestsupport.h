#pragma once

// Real Wayland parts for clipboard tests and benchmarks: a private compositor (a headless sway,
// or the small data-control compositor built with the tests), a scriptable foreign data source
// on its own connection and thread, and wl-copy/wl-paste runs that keep the event loop turning.

#include "clientprocess.h"
#include "clipboardpeer.h"
#include "platform/wayland/datacontrol.h"

#include <QProcess>
#include <QTemporaryDir>
#include <memory>

namespace tessary::testing {

// A compositor of our own on a socket in a private 0700 runtime directory. sway refuses to run
// as root: then it runs as an unprivileged user made for the purpose, through setpriv, so that
// the process started is sway itself.
class PrivateCompositor {
public:
    enum class Kind { Sway, DataControlOnly };
    // DataControlOnly takes the globals to offer: "ext", "wlr", or both.
    explicit PrivateCompositor(Kind kind, const QStringList &globals = {});
    ~PrivateCompositor();

    bool isRunning() const { return !m_socket.isEmpty(); }
    // An absolute path; WAYLAND_DISPLAY for clients.
    QByteArray socket() const { return m_socket; }
    QProcessEnvironment clientEnvironment() const;
    // The compositor exits as on a crash; its clients lose their connection.
    void kill();

private:
    QTemporaryDir m_runtimeDir;
    QProcess m_process;
    QByteArray m_socket;
};

// wl-copy ARGUMENTS with INPUT on its standard input, against the compositor; true once wl-copy
// has taken the selection (it goes on serving in the background).
bool copyWithWlCopy(const PrivateCompositor &compositor, const QStringList &arguments,
                    const QByteArray &input);
// wl-paste --no-newline ARGUMENTS; nothing when wl-paste fails.
std::optional<QByteArray> pasteWithWlPaste(const PrivateCompositor &compositor,
                                           const QStringList &arguments, int timeoutMs = 10000);

// wl-copy and wl-paste on the compositor's clipboard; the editor is wl-copy in the foreground.
class WlClipboardPeer : public ClipboardPeer {
public:
    explicit WlClipboardPeer(const PrivateCompositor &compositor) : m_compositor(compositor) {}
    bool copy(const QByteArray &text) override;
    std::optional<QByteArray> paste() override;
    bool startEditor(const QByteArray &text) override;
    void quitEditor() override;
    // Blocks this thread until wl-paste sees the new text.
    bool quitEditorAndCopy(const QByteArray &text) override;

private:
    const PrivateCompositor &m_compositor;
    QProcess m_editor;
};

// A bare client of wlroots' data-control protocol: a seat's device and nothing else. Its events
// go wherever its owner adds listeners.
struct DataControlClient {
    explicit DataControlClient(const QByteArray &socket);
    ~DataControlClient();
    DataControlClient(const DataControlClient &) = delete;
    DataControlClient &operator=(const DataControlClient &) = delete;
    bool isReady() const { return device != nullptr; }
    // Waits until events arrive, wakeFd is readable or the time is up (-1: no limit), and
    // dispatches what arrived. False once the connection has failed.
    bool dispatch(int wakeFd, int timeoutMs);

    wl_display *display = nullptr;
    wl_registry *registry = nullptr;
    wl_seat *seat = nullptr;
    wayland::DataControlManager *manager = nullptr;
    wayland::DataControlDevice *device = nullptr;
};

// Another client owning the selection through wlroots data-control, with the representations
// given. It answers each request in full, or trickles one byte at a time and never finishes.
class ForeignSource {
public:
    enum class Behaviour { Answer, Trickle };
    struct Offer {
        QByteArray mimeType, data;
    };

    ForeignSource(const QByteArray &display, QList<Offer> offers,
                  Behaviour behaviour = Behaviour::Answer);
    ~ForeignSource();
    bool start();                 // takes the selection
    void exit();                  // the connection closes and the source goes away with it
    QStringList requests() const; // MIME types asked for, in order; after exit()

private:
    struct State;
    std::unique_ptr<State> d;
};

} // namespace tessary::testing
