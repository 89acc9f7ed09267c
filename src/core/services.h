#pragma once

// Every platform facility the history core relies on, in one place. Backends live under
// src/platform; tests substitute fakes by subclassing.

#include "entry.h"

#include <QFuture>
#include <QObject>
#include <optional>

namespace tessary {

// The questions asked of one clipboard content, in the order the capture asks them. Each answers
// "absent" for a representation that is missing or unreadable. Implementations may block (they
// run on a backend's reader thread, never on the GUI thread).
class ClipboardSource {
public:
    virtual ~ClipboardSource() = default;
    virtual std::optional<QList<QUrl>> urls() = 0;
    virtual std::optional<QByteArray> tiff() = 0;
    virtual std::optional<QByteArray> png() = 0;
    virtual std::optional<QString> text() = 0;
};

// The system clipboard. Lives on the GUI thread; only reads may finish later.
class Pasteboard : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Moves whenever any process, this one included, takes ownership of the clipboard. Cheap:
    // the monitor reads it on every tick. Announced by changeNoticed().
    virtual qint64 changeCount() const = 0;

    // Reads what is on offer now and applies the capture rules (see capture.h). The future
    // starts when the read itself begins (a backend that reads one content at a time starts it
    // after the reads before it), may finish on any thread, or never when the owner hangs; it
    // is finished with nothing when the content offers nothing worth keeping.
    virtual QFuture<std::optional<Payload>> capture() = 0;

    // Takes ownership and offers exactly one representation chosen by the payload's kind.
    virtual void write(const Payload &payload) = 0;
    // Puts the payload back after contentsLost(), as write() does, unless another owner has taken
    // the clipboard since: theirs is the newer copy and stays. Tells whether it was put back and
    // counted, as write() counts.
    virtual bool restore(const Payload &payload)
    {
        write(payload);
        return true;
    }

signals:
    // changeCount() has moved. Every backend emits this after each move that write() did not
    // make (another owner took the clipboard, or its contents were lost): on the GUI thread, and
    // only once changeCount() returns the new count. The monitor sleeps while the clipboard is
    // still, and only this wakes it before its slow resting tick. Several moves may share one
    // emission; an emission without a move is harmless.
    void changeNoticed();
    // The clipboard lost its contents because their owner went away (nobody owns it now).
    void contentsLost();
    // The connection to the display server (X server or Wayland compositor) is gone for good:
    // nothing is captured or served from now on.
    void displayLost();
};

// Short event sounds. Asynchronous; a missing sound server or sound is skipped silently.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    virtual void playCopyConfirmation() = 0; // at 40 % volume
    virtual void playErrorBeep() = 0;
};

// How much of the clipboard the desktop lets us see; the panel says so while the history is
// empty.
enum class ClipboardAccess {
    Direct,                  // through the display server's own clipboard protocol
    ThroughX11Compatibility, // a Wayland desktop without data-control, seen through XWayland
    None,                    // the desktop lets no application watch the clipboard
};

} // namespace tessary
