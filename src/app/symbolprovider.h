#pragma once

#include <QQuickImageProvider>

namespace tessary {

// "image://symbol/<name>/<colour>": one of the bundled monochrome symbols (doc.on.clipboard,
// chevron.right) drawn in a colour given as hex digits without '#' (rrggbb or aarrggbb), so the
// symbols follow the palette under every scene graph backend.
class SymbolProvider : public QQuickImageProvider {
public:
    SymbolProvider();
    QImage requestImage(const QString &id, QSize *size, const QSize &requestedSize) override;
};

} // namespace tessary
