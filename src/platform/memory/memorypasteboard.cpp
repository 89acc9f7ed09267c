#include "memorypasteboard.h"

#include "core/capture.h"
#include "core/imageformat.h"

namespace tessary {

class MemoryPasteboard::Source : public ClipboardSource {
public:
    Source(const Content &content, QStringList &calls) : m_content(content), m_calls(calls) {}
    std::optional<QList<QUrl>> urls() override { return logged("urls", m_content.urls); }
    std::optional<QByteArray> tiff() override { return logged("tiff", m_content.tiff); }
    std::optional<QByteArray> png() override { return logged("png", m_content.png); }
    std::optional<QString> text() override { return logged("text", m_content.text); }

private:
    template <typename T> T logged(const char *operation, const T &value)
    {
        m_calls.append(QLatin1String(operation));
        return value;
    }
    const Content &m_content;
    QStringList &m_calls;
};

qint64 MemoryPasteboard::changeCount() const
{
    m_calls.append(QStringLiteral("changeCount"));
    return m_changeCount;
}

std::optional<Payload> MemoryPasteboard::captureFrom(const Content &content)
{
    Source source(content, m_calls);
    return capturePayload(source);
}

QFuture<std::optional<Payload>> MemoryPasteboard::capture()
{
    auto promise = std::make_shared<QPromise<std::optional<Payload>>>();
    if (!m_queueCaptures)
        promise->start();
    if (m_holdCaptures || m_queueCaptures) {
        m_held.push_back({promise, m_content});
    } else {
        promise->addResult(captureFrom(m_content));
        promise->finish();
    }
    return promise->future();
}

void MemoryPasteboard::finishHeldCaptures()
{
    for (HeldCapture &held : std::exchange(m_held, {})) {
        held.promise->start(); // queued ones begin reading only now
        held.promise->addResult(captureFrom(held.content));
        held.promise->finish();
    }
}

void MemoryPasteboard::write(const Payload &payload)
{
    Content content;
    switch (payload.kind()) {
    case Payload::Kind::Text:
        m_calls.append(QStringLiteral("write text"));
        content.text = payload.text();
        break;
    case Payload::Kind::Image:
        m_calls.append(QStringLiteral("write image"));
        if (payload.imageFormat() == ImageFormat::Png)
            content.png = payload.imageBytes();
        else
            content.tiff = payload.imageBytes();
        break;
    case Payload::Kind::Files:
        m_calls.append(QStringLiteral("write files"));
        content.urls = payload.fileUrls();
        break;
    }
    replaceContent(std::move(content));
}

void MemoryPasteboard::setContent(Content content)
{
    replaceContent(std::move(content));
    emit changeNoticed();
}

void MemoryPasteboard::replaceContent(Content content)
{
    m_content = std::move(content);
    ++m_changeCount;
}

void MemoryPasteboard::loseContents()
{
    setContent({});
    emit contentsLost();
}

} // namespace tessary
