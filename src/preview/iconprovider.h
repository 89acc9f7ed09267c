#pragma once

#include <QQuickImageProvider>

namespace tessary {

// "image://icon/<name>[,<name>...]": the first of these freedesktop icon names the icon theme
// has, else a bundled drawing ("photo" for image-* names, "doc" for anything else), so a view
// never shows an empty square. Theme lookups touch the platform theme, so this runs on the GUI
// thread (a pixmap provider).
class IconProvider : public QQuickImageProvider {
public:
    static constexpr char kId[] = "icon";

    IconProvider() : QQuickImageProvider(QQuickImageProvider::Pixmap) {}
    QPixmap requestPixmap(const QString &id, QSize *size, const QSize &requestedSize) override;

    // The icon behind an id, theme first; never null.
    static QIcon iconFor(const QString &id);
    // The image source of the icon for these names.
    static QUrl source(const QStringList &names);
};

} // namespace tessary
