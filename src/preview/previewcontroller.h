#pragma once

#include "core/entry.h"
#include "core/historymodel.h"
#include "core/services.h"

#include <QObject>
#include <memory>

class QQmlEngine;

namespace tessary {

class PreviewStager;
class FilePreviewer;

// The one entry point of previews: turns a history entry into a file (staging texts and images
// in the private runtime directory) and shows it in the previewer window. When there is nothing
// to show, or staging fails, the error beep sounds instead.
class PreviewController : public QObject {
    Q_OBJECT
public:
    PreviewController(HistoryModel &history, SoundPlayer &sound, QObject *parent = nullptr);
    // For tests: a stager and a previewer of their own. Neither is owned.
    PreviewController(HistoryModel &history, SoundPlayer &sound, PreviewStager &stager,
                      FilePreviewer &previewer, QObject *parent = nullptr);
    ~PreviewController() override;

    // Previews the entry in that row of the history; a row that names no entry does nothing.
    Q_INVOKABLE void previewRow(int row);
    void previewEntry(const Entry &entry);

private:
    HistoryModel &m_history;
    SoundPlayer &m_sound;
    std::unique_ptr<PreviewStager> m_ownStager;
    PreviewStager &m_stager;
    FilePreviewer *m_previewer = nullptr; // null: the process-wide previewer window
};

// Registers the preview types under "Tessary.Native" 1.0 and adds the "thumbnail" and
// "fileicon" image providers to the engine. Call once per engine, before loading views.
void registerPreviewQmlTypes(QQmlEngine &engine);

} // namespace tessary
