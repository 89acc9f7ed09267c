#pragma once

#include "core/entry.h"
#include "core/historymodel.h"
#include "core/services.h"

#include <QObject>

namespace tessary {

class PreviewStager;
class FilePreviewer;

// The one entry point of previews: turns a history entry into a file (staging texts and images
// in the private runtime directory) and shows it in the previewer window. When there is nothing
// to show, or staging fails, the error beep sounds instead. Owns none of what it is given.
class PreviewController : public QObject {
    Q_OBJECT
public:
    PreviewController(HistoryModel &history, SoundPlayer &sound, PreviewStager &stager,
                      FilePreviewer &previewer, QObject *parent = nullptr);

    // Previews the entry in that row of the history; a row that names no entry does nothing.
    Q_INVOKABLE void previewRow(int row);
    void previewEntry(const Entry &entry);

private:
    HistoryModel &m_history;
    SoundPlayer &m_sound;
    PreviewStager &m_stager;
    FilePreviewer &m_previewer;
};

} // namespace tessary
