#include "previewcontroller.h"

#include "futurewatch.h"
#include "stager.h"

#include <QtConcurrent>

namespace tessary {

PreviewController::PreviewController(HistoryModel &history, SoundPlayer &sound,
                                     PreviewStager &stager, FilePreviewer &previewer,
                                     QObject *parent)
    : QObject(parent), m_history(history), m_sound(sound), m_stager(stager), m_previewer(previewer)
{
    m_staging.setMaxThreadCount(1);
    m_stager.removeStagedFiles(); // left by a run that ended without us
    m_previewer.setListener([this](FilePreviewer::Event event) { releaseShown(event); });
}

PreviewController::~PreviewController()
{
    m_previewer.setListener({});
    m_staging.waitForDone();
    m_stager.removeStagedFiles();
}

void PreviewController::previewRow(int row)
{
    const QList<Entry> &entries = m_history.entries();
    if (row < 0 || row >= entries.size())
        return;
    previewEntry(entries.at(row));
}

void PreviewController::previewEntry(const Entry &entry)
{
    const quint64 request = ++m_newestRequest;
    const Payload payload = entry.payload;
    // The previewer is handed the file only once it is complete.
    whenFinished(this,
                 QtConcurrent::run(&m_staging,
                                   [&stager = m_stager, payload] { return stager.stage(payload); }),
                 [this, request, kind = payload.kind()](const QFuture<std::optional<QUrl>> &done) {
                     show(request, done.resultCount() > 0 ? done.result() : std::nullopt, kind);
                 });
}

void PreviewController::show(quint64 request, const std::optional<QUrl> &url, Payload::Kind kind)
{
    const bool staged = kind != Payload::Kind::Files;
    if (request != m_newestRequest) {
        if (url && staged)
            m_stager.remove(*url); // overtaken by a later preview before it was shown
        return;
    }
    if (!url) {
        m_sound.playErrorBeep();
    } else {
        releaseShown(FilePreviewer::Event::Closed); // replaced
        if (staged)
            m_shownStagedFile = url;
        QString title;
        switch (kind) {
        case Payload::Kind::Text:
            title = tr("Text");
            break;
        case Payload::Kind::Image:
            title = tr("Image");
            break;
        case Payload::Kind::Files:
            title = url->fileName();
            break;
        }
        m_previewer.show(*url, title);
    }
    emit previewSettled();
}

void PreviewController::releaseShown(FilePreviewer::Event event)
{
    const std::optional<QUrl> file = std::exchange(m_shownStagedFile, std::nullopt);
    // Another application may still be reading a file handed to it: that one stays until exit.
    if (file && event == FilePreviewer::Event::Closed)
        m_stager.remove(*file);
}

} // namespace tessary
