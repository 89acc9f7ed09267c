#include "previewcontroller.h"

#include "previewer.h"
#include "stager.h"

namespace tessary {

PreviewController::PreviewController(HistoryModel &history, SoundPlayer &sound,
                                     PreviewStager &stager, FilePreviewer &previewer,
                                     QObject *parent)
    : QObject(parent), m_history(history), m_sound(sound), m_stager(stager), m_previewer(previewer)
{}

void PreviewController::previewRow(int row)
{
    const QList<Entry> &entries = m_history.entries();
    if (row < 0 || row >= entries.size())
        return;
    previewEntry(entries.at(row));
}

void PreviewController::previewEntry(const Entry &entry)
{
    // Staging is synchronous so that the previewer never sees an incomplete file.
    const std::optional<QUrl> url = m_stager.stage(entry.payload);
    if (!url) {
        m_sound.playErrorBeep();
        return;
    }
    QString title;
    switch (entry.payload.kind()) {
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

} // namespace tessary
