#include "trayicon.h"

#include "core/appid.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QIcon>
#include <QPalette>
#include <QSystemTrayIcon>

Q_LOGGING_CATEGORY(lcTray, "tessary.tray", QtInfoMsg)

namespace tessary {

TrayIcon::TrayIcon(QObject *parent) : QObject(parent), m_icon(new QSystemTrayIcon(this))
{
    m_menu.addAction(tr("Show Clipboard History"), this, &TrayIcon::showRequested);
    m_menu.addAction(tr("Settings"), this, &TrayIcon::settingsRequested);
    m_menu.addSeparator();
    m_menu.addAction(tr("Quit"), this, &TrayIcon::quitRequested);
    m_icon->setContextMenu(&m_menu);
    m_icon->setToolTip(QString::fromLatin1(kApplicationName));
    chooseIcon();
    connect(m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                    emit activated();
            });
    qApp->installEventFilter(this);
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        qCInfo(lcTray).noquote() << tr(
            "No system tray is available, so Tessary shows no icon. Run \"tessary\" again "
            "to open the clipboard history; a keyboard shortcut can do that.");
    m_icon->show();
}

TrayIcon::~TrayIcon()
{
    qApp->removeEventFilter(this);
}

QRect TrayIcon::geometry() const
{
    // An XEmbed tray moves the icon's window without Qt noticing, which then reports it at the
    // screen's origin. A click lands on the icon: there the pointer tells where it really is.
    const QRect reported = m_icon->geometry();
    const QPoint pointer = QCursor::pos();
    if (!reported.isValid() || reported.contains(pointer))
        return reported;
    QRect around(QPoint(), reported.size());
    around.moveCenter(pointer);
    return around;
}

bool TrayIcon::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange)
        chooseIcon();
    return QObject::eventFilter(watched, event);
}

void TrayIcon::chooseIcon()
{
    const QString symbolic = QString::fromLatin1(kSymbolicIconName);
    if (QIcon::hasThemeIcon(symbolic)) {
        if (m_icon->icon().name() != symbolic)
            m_icon->setIcon(QIcon::fromTheme(symbolic));
        return;
    }
    // A bundled picture is not recoloured: drawn for the palette, as panels usually share the
    // window colours of the theme.
    const bool dark = QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
    const QString variant = dark ? QStringLiteral("dark") : QStringLiteral("light");
    if (variant == m_bundledVariant)
        return;
    m_bundledVariant = variant;
    m_icon->setIcon(QIcon(QStringLiteral(":/tessary/icons/%1-%2.svg")
                              .arg(QString::fromLatin1(kApplicationId), variant)));
}

} // namespace tessary
