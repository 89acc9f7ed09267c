#pragma once

// Real X11 parts for clipboard tests: a private Xvfb, a scriptable foreign clipboard owner on
// its own connection and thread, and xclip runs that keep the event loop turning.

#include "foreignowner.h"

#include <QByteArray>
#include <QList>
#include <QProcess>
#include <QStringList>

#include <optional>

namespace tessary::testing {

// An Xvfb on a display number it picks itself; $DISPLAY points at it while it runs, so that
// xclip and xsel started by the test talk to it.
class PrivateXServer {
public:
    PrivateXServer();
    ~PrivateXServer();
    bool isRunning() const { return !m_display.isEmpty(); }
    QByteArray display() const { return m_display; }

private:
    QProcess m_process;
    QByteArray m_display;
    QByteArray m_previousDisplay;
};

// xclip -selection clipboard -i, taking the clipboard with one target. Returns once xclip owns
// it (xclip then serves from the background until it loses the clipboard).
bool setClipboardWithXclip(const QByteArray &target, const QByteArray &data);
// The same with xsel, which offers text under its usual ICCCM names.
bool setClipboardWithXsel(const QByteArray &text);
std::optional<QByteArray> readClipboardWithXsel();
// xclip -selection clipboard -o -t TARGET, run without blocking the event loop (the owner may
// be this process). Nothing when xclip fails.
std::optional<QByteArray> readClipboardWithXclip(const QByteArray &target, int timeoutMs = 10000);

// Asks the clipboard owner for several targets in one MULTIPLE conversion, from a connection on
// a thread of its own while the event loop runs. Per target: its bytes, or nothing when the
// owner refused it. Nothing at all when the MULTIPLE request itself failed.
std::optional<QList<std::optional<QByteArray>>> convertMultiple(const QList<QByteArray> &targets);

} // namespace tessary::testing
