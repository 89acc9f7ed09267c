#pragma once

#include "core/entry.h"
#include "core/historymodel.h"
#include "core/services.h"
#include "previewer.h"

#include <QObject>
#include <QThreadPool>

namespace tessary {

class PreviewStager;

// The one entry point of previews: turns a history entry into a file (staging texts and images
// in the private runtime directory) and shows it in the previewer window. When there is nothing
// to show, or staging fails, the error beep sounds instead. Owns none of what it is given.
//
// A staged file holds a copy of what was copied, a secret perhaps, so it lives no longer than
// its preview: it is deleted once the previewer shows another file or closes (unless it went to
// another application meanwhile), and every staged file is deleted when the controller goes and
// when the next one starts, in case a run ended without it.
class PreviewController : public QObject {
    Q_OBJECT
public:
    PreviewController(HistoryModel &history, SoundPlayer &sound, PreviewStager &stager,
                      FilePreviewer &previewer, QObject *parent = nullptr);
    // Waits for a staging still under way.
    ~PreviewController() override;

    // Previews the entry in that row of the history; a row that names no entry does nothing.
    Q_INVOKABLE void previewRow(int row);
    // Stages the entry off the GUI thread (a text may be hundreds of megabytes), then shows it;
    // a preview asked for meanwhile overtakes it.
    void previewEntry(const Entry &entry);

signals:
    // The preview asked for last is shown, or failed with the beep.
    void previewSettled();

private:
    void show(quint64 request, const std::optional<QUrl> &url, Payload::Kind kind);
    void releaseShown(FilePreviewer::Event event);

    HistoryModel &m_history;
    SoundPlayer &m_sound;
    PreviewStager &m_stager;
    FilePreviewer &m_previewer;
    QThreadPool m_staging; // one thread: previews are staged in the order asked for
    quint64 m_newestRequest = 0;
    std::optional<QUrl> m_shownStagedFile; // the staged file on show, if any
};

} // namespace tessary
