#pragma once

// Real X11 parts for clipboard tests and benchmarks: a private Xvfb, a scriptable foreign
// clipboard owner on its own connection and thread, and xclip runs that keep the event loop
// turning.

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QStringList>
#include <memory>
#include <optional>

namespace tessary::testing {

// An Xvfb on a display number it picks itself; $DISPLAY points at it from then on.
class PrivateXServer {
public:
    PrivateXServer();
    ~PrivateXServer();
    bool isRunning() const { return !m_display.isEmpty(); }
    QByteArray display() const { return m_display; }

private:
    QProcess m_process;
    QByteArray m_display;
};

// Another client owning CLIPBOARD with the targets given. It answers, or reads requests and
// ignores them, or starts an incremental transfer, sends one piece and disconnects, or answers
// in one piece and then keeps appending the data's first incrementSize bytes to the answer, as
// fast as the server takes them, up to kAppendLimit in all, or answers TARGETS with nothing, or
// answers every target incrementally with the data's first incrementSize bytes again and again
// and never ends, or answers TARGETS in bytes (format 8, a partial atom at the end) and the
// other targets in 32-bit units (what does not fill one is dropped).
class ForeignOwner {
public:
    enum class Behaviour {
        Answer,
        NeverAnswer,
        DieMidTransfer,
        KeepAppending,
        EmptyTargets,
        EndlessIncrement,
        OddFormats
    };
    static constexpr qsizetype kAppendLimit = qsizetype(192) << 20;
    struct Target {
        QByteArray name, data;
    };

    ForeignOwner(QList<Target> targets, Behaviour behaviour = Behaviour::Answer,
                 int incrementSize = 64 * 1024);
    ~ForeignOwner();
    bool start();                 // takes the clipboard
    void exit();                  // the connection closes and the clipboard is left empty
    QStringList requests() const; // targets asked for, in order; after exit()
    qsizetype appended() const;   // bytes appended so far (KeepAppending)
    // Takes the clipboard again that often a second (0: no more), each time with a new text
    // "flood <n>" for its first target; how often it took it again so far.
    int takeAgainPerSecond(int perSecond);
    QByteArray lastText() const; // the text it offers last while taking it again

private:
    struct State;
    std::unique_ptr<State> d;
};

// xclip -selection clipboard -t TARGET -i; true once xclip has read the data.
bool setClipboardWithXclip(const QByteArray &target, const QByteArray &data);
// xclip -selection clipboard -o -t TARGET, run without blocking the event loop (the owner may
// be this process). Nothing when xclip fails.
std::optional<QByteArray> readClipboardWithXclip(const QByteArray &target, int timeoutMs = 10000);

} // namespace tessary::testing
