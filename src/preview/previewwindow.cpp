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
    connect(&m_content, &PreviewContent::handedOver, this, [this] { tell(Event::HandedOver); });
}

PreviewWindow::~PreviewWindow()
{
    if (m_view)
        m_view->disconnect(this);
}

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
    // However it closes (Space, Escape, the window manager), it lets go of what it showed.
    connect(m_view.get(), &QWindow::visibleChanged, this, [this](bool visible) {
        if (!visible)
            releaseView();
    });
}

void PreviewWindow::releaseView()
{
    if (!m_view)
        return;
    m_view->disconnect(this);
    // It may be handling the very key press that closed it.
    m_view.release()->deleteLater();
    m_content.clear();
    tell(Event::Closed);
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
