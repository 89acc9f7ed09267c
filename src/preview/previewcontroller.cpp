#include "previewcontroller.h"

#include "filethumbnailsource.h"
#include "previewcontent.h"
#include "previewwindow.h"
#include "stager.h"
#include "thumbnailimageprovider.h"

#include <QQmlEngine>

namespace tessary {

PreviewController::PreviewController(HistoryModel &history, SoundPlayer &sound, QObject *parent)
    : QObject(parent), m_history(history), m_sound(sound),
      m_ownStager(std::make_unique<PreviewStager>()), m_stager(*m_ownStager)
{}

PreviewController::PreviewController(HistoryModel &history, SoundPlayer &sound,
                                     PreviewStager &stager, FilePreviewer &previewer,
                                     QObject *parent)
    : QObject(parent), m_history(history), m_sound(sound), m_stager(stager), m_previewer(&previewer)
{}

PreviewController::~PreviewController() = default;

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
    FilePreviewer &previewer = m_previewer ? *m_previewer : PreviewWindow::instance();
    previewer.show(*url);
}

void registerPreviewQmlTypes(QQmlEngine &engine)
{
    static const bool typesRegistered = [] {
        const char *uri = "Tessary.Native";
        qmlRegisterType<FileThumbnailSource>(uri, 1, 0, "FileThumbnailSource");
        qmlRegisterUncreatableType<PreviewContent>(uri, 1, 0, "PreviewContent",
                                                   QStringLiteral("owned by the previewer"));
        qmlRegisterUncreatableType<PreviewController>(uri, 1, 0, "PreviewController",
                                                      QStringLiteral("created by the app"));
        return true;
    }();
    Q_UNUSED(typesRegistered);
    if (!engine.imageProvider(ThumbnailImageProvider::kId))
        engine.addImageProvider(ThumbnailImageProvider::kId, new ThumbnailImageProvider);
    if (!engine.imageProvider(FileIconImageProvider::kId))
        engine.addImageProvider(FileIconImageProvider::kId, new FileIconImageProvider);
}

} // namespace tessary
