#pragma once

#include "previewcontent.h"
#include "previewer.h"

#include <QObject>
#include <memory>

class QQuickView;

namespace tessary {

class FileThumbnails;

// The previewer: one window showing one file at a time. Showing another file while it is open
// replaces what it shows and brings it to the front. Space and Escape close it. Its view is made
// when it is shown and goes when it closes, with the picture it decoded (a photo takes hundreds
// of megabytes); the thumbnails must outlive the window.
class PreviewWindow : public QObject, public FilePreviewer {
    Q_OBJECT
public:
    static constexpr int kDefaultWidth = 720;
    static constexpr int kDefaultHeight = 540;

    explicit PreviewWindow(FileThumbnails &thumbnails, QObject *parent = nullptr);
    ~PreviewWindow() override;

    void show(const QUrl &url, const QString &title) override;
    void close();
    bool isVisible() const;

    PreviewContent &content() { return m_content; }
    QQuickView *view() { return m_view.get(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createView();
    void releaseView();

    FileThumbnails &m_thumbnails;
    PreviewContent m_content;
    std::unique_ptr<QQuickView> m_view;
};

} // namespace tessary
