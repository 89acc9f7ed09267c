#pragma once

#include <QByteArray>
#include <optional>

namespace tessary::testing {

// Another program on the clipboard, as each backend's tests play it with real clients.
class ClipboardPeer {
public:
    virtual ~ClipboardPeer() = default;
    // Copies a text; true once it is on offer.
    virtual bool copy(const QByteArray &text) = 0;
    // The text on offer; nothing when the client fails.
    virtual std::optional<QByteArray> paste() = 0;
    // An editor copies a text and holds it until it quits, leaving the clipboard empty.
    virtual bool startEditor(const QByteArray &text) = 0;
    virtual void quitEditor() = 0;
    // The editor quits and another program copies a text before this thread hears of the quit.
    virtual bool quitEditorAndCopy(const QByteArray &text) = 0;
};

} // namespace tessary::testing
