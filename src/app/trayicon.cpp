#include "trayicon.h"

#include "core/appid.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QPalette>
#include <QSystemTrayIcon>

namespace tessary {

TrayIcon::TrayIcon(QObject *parent) : QObject(parent), m_icon(new QSystemTrayIcon(this))
{
    m_icon->setToolTip(QString::fromLatin1(kApplicationName));
    followPalette();
    connect(m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                    emit activated();
            });
    qApp->installEventFilter(this);
    m_icon->show();
}

TrayIcon::~TrayIcon()
{
    qApp->removeEventFilter(this);
}

QRect TrayIcon::geometry() const
{
    return m_icon->geometry();
}

bool TrayIcon::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == qApp && event->type() == QEvent::ApplicationPaletteChange)
        followPalette();
    return QObject::eventFilter(watched, event);
}

void TrayIcon::followPalette()
{
    // Panels usually share the window colours of the theme.
    const bool dark = QGuiApplication::palette().color(QPalette::Window).lightness() < 128;
    const QString variant = dark ? QStringLiteral("dark") : QStringLiteral("light");
    if (variant == m_variant)
        return;
    m_variant = variant;
    m_icon->setIcon(QIcon(QStringLiteral(":/tessary/icons/%1-%2.svg")
                              .arg(QString::fromLatin1(kApplicationId), variant)));
}

} // namespace tessary
