#pragma once

#include <QObject>
#include <QRect>

class QSystemTrayIcon;

namespace tessary {

// The one status icon: a document on a clipboard, drawn light on dark themes and dark on light
// ones, with the tooltip "Tessary". Works with a StatusNotifierItem host or an XEmbed tray;
// with neither, Qt shows the icon once a host appears.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    explicit TrayIcon(QObject *parent = nullptr);
    ~TrayIcon() override;

    // The icon's place on screen, or an invalid rect when the host does not tell it.
    QRect geometry() const;
    // The icon variant for the current palette: "light" (dark strokes) or "dark".
    QString variant() const { return m_variant; }

signals:
    void activated();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void followPalette();

    QSystemTrayIcon *m_icon;
    QString m_variant;
};

} // namespace tessary
