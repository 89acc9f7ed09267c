#pragma once

#include <QQuickImageProvider>

namespace tessary {

// "image://cardicon/<name>[,<name>...]": the first of these freedesktop icon names the icon
// theme has, else a bundled drawing ("photo" for image-* names, "doc" for anything else).
// Theme lookups touch the platform theme, so this runs on the GUI thread (a pixmap provider).
class CardIconProvider : public QQuickImageProvider {
public:
    CardIconProvider();
    QPixmap requestPixmap(const QString &id, QSize *size, const QSize &requestedSize) override;

    // The icon behind an id, theme first; never null.
    static QIcon iconFor(const QString &id);
};

} // namespace tessary
