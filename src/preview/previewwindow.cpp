#include "previewwindow.h"

#include "filethumbnails.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QQmlEngine>
#include <QQuickView>

Q_LOGGING_CATEGORY(lcPreviewer, "tessary.preview.window", QtInfoMsg)

namespace tessary {

PreviewWindow::PreviewWindow(FileThumbnails &thumbnails, QObject *parent)
    : QObject(parent), m_thumbnails(thumbnails)
{
    connect(&m_content, &PreviewContent::closeRequested, this, &PreviewWindow::close);
}

PreviewWindow::~PreviewWindow() = default;

void PreviewWindow::createView()
{
    m_view = std::make_unique<QQuickView>();
    QQmlEngine &engine = *m_view->engine();
    engine.addImportPath(QStringLiteral("qrc:/"));
    addFileImageProviders(engine, m_thumbnails);
    m_view->setTitle(QCoreApplication::translate("PreviewWindow", "Preview"));
    m_view->setResizeMode(QQuickView::SizeRootObjectToView);
    m_view->resize(kDefaultWidth, kDefaultHeight);
    m_view->setInitialProperties(
        {{QStringLiteral("content"), QVariant::fromValue(&m_content)},
         {QStringLiteral("thumbnails"), QVariant::fromValue(&m_thumbnails)}});
    m_view->setSource(QUrl(QStringLiteral("qrc:/Tessary/Previewer.qml")));
    if (m_view->status() == QQuickView::Error)
        qCWarning(lcPreviewer) << "previewer view failed:" << m_view->errors();
    m_view->installEventFilter(this);
}

void PreviewWindow::show(const QUrl &url, const QString &title)
{
    if (!m_view)
        createView();
    m_content.load(url);
    m_view->setTitle(title.isEmpty() ? QCoreApplication::translate("PreviewWindow", "Preview")
                                     : title);
    m_view->show();
    m_view->raise();
    m_view->requestActivate();
}

void PreviewWindow::close()
{
    if (m_view)
        m_view->close();
}

bool PreviewWindow::isVisible() const
{
    return m_view && m_view->isVisible();
}

bool PreviewWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view.get() && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Space || key->key() == Qt::Key_Escape) &&
            key->modifiers() == Qt::NoModifier) {
            close();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tessary
