#pragma once

#include <QLoggingCategory>
#include <QMenu>
#include <QObject>
#include <QRect>

class QSystemTrayIcon;

Q_DECLARE_LOGGING_CATEGORY(lcTray)

namespace tessary {

// The one status icon: a document on a clipboard with the tooltip "Tessary", and a menu that
// reaches everything (some hosts show only the menu, whatever the click). The icon is the
// symbolic one of the icon theme, which tray hosts recolour to suit their panel; without it, a
// bundled one drawn for the application's palette. Works with a StatusNotifierItem host or an
// XEmbed tray; with neither, it says once how to open the panel instead, and Qt shows the icon
// once a host appears.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    explicit TrayIcon(QObject *parent = nullptr);
    ~TrayIcon() override;

    // The icon's place on screen, or an invalid rect when the host does not tell it.
    QRect geometry() const;

    static constexpr char kSymbolicIconName[] = "org.tessary.Tessary-symbolic";

signals:
    // A click on the icon.
    void activated();
    // The menu's rows.
    void showRequested();
    void settingsRequested();
    void quitRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void chooseIcon();

    QMenu m_menu;
    QSystemTrayIcon *m_icon;
    QString m_bundledVariant;
};

} // namespace tessary
