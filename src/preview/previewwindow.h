#pragma once

#include "previewcontent.h"
#include "previewer.h"

#include <QObject>
#include <memory>

class QQuickView;

namespace tessary {

// The previewer: one window for the whole process showing one file at a time. Showing another
// file while it is open replaces what it shows and brings it to the front. Space and Escape
// close it.
class PreviewWindow : public QObject, public FilePreviewer {
    Q_OBJECT
public:
    static constexpr int kDefaultWidth = 720;
    static constexpr int kDefaultHeight = 540;

    // The process-wide window, created on first use (on the GUI thread); destroyed before the
    // application object goes away.
    static PreviewWindow &instance();

    PreviewWindow();
    ~PreviewWindow() override;

    void show(const QUrl &url) override;
    void close();
    bool isVisible() const;

    PreviewContent &content() { return m_content; }
    QQuickView *view() { return m_view.get(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createView();

    PreviewContent m_content;
    std::unique_ptr<QQuickView> m_view;
};

} // namespace tessary
