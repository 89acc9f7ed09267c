#pragma once

#include "core/services.h"

#include <QPromise>
#include <QStringList>
#include <memory>

namespace tessary {

// A clipboard held in this process. It stands in for the system clipboard in tests: it logs
// every operation in order, and its captures can be held back and finished on demand to play
// out slow or hung owners.
class MemoryPasteboard : public Pasteboard {
    Q_OBJECT
public:
    // One content as an owner offers it; absent members are representations not on offer.
    struct Content {
        std::optional<QList<QUrl>> urls = {};
        std::optional<QByteArray> tiff = {};
        std::optional<QByteArray> png = {};
        std::optional<QString> text = {};
    };

    using Pasteboard::Pasteboard;

    qint64 changeCount() const override;
    QFuture<std::optional<Payload>> capture() override;
    void write(const Payload &payload) override;

    // Another process takes ownership and offers this content; changeNoticed() is emitted.
    void setContent(Content content);
    // The owner quits: the clipboard is empty, and changeNoticed() and contentsLost() are emitted.
    void loseContents();
    const Content &content() const { return m_content; }

    // Operations in the order they were called: "changeCount", "urls", "tiff", "png", "text",
    // "write text", "write image", "write files".
    QStringList calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }

    // While held, captures wait until finishHeldCaptures() answers them from the content
    // that was on offer when each began.
    void setHoldCaptures(bool hold) { m_holdCaptures = hold; }
    // While queued, captures are held too, and not even started, as behind a busy reader.
    void setQueueCaptures(bool queue) { m_queueCaptures = queue; }
    int heldCaptureCount() const { return static_cast<int>(m_held.size()); }
    void finishHeldCaptures();

private:
    class Source;
    struct HeldCapture {
        std::shared_ptr<QPromise<std::optional<Payload>>> promise;
        Content content;
    };
    std::optional<Payload> captureFrom(const Content &content);
    void replaceContent(Content content);

    Content m_content;
    qint64 m_changeCount = 1;
    mutable QStringList m_calls;
    bool m_holdCaptures = false;
    bool m_queueCaptures = false;
    std::vector<HeldCapture> m_held;
};

} // namespace tessary
