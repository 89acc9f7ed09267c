#include "panelplacement.h"

#include <algorithm>

namespace tessary {
namespace {

constexpr int kGap = 4;

int clampedStart(int start, int length, int areaStart, int areaLength)
{
    // An area too small for the panel shows its start (the title) rather than its end.
    return std::max(areaStart, std::min(start, areaStart + areaLength - length));
}

} // namespace

QPoint panelPosition(const QSize &panel, const QRect &icon, const QPoint &pointer,
                     const QRect &screen, const QRect &available)
{
    QRect anchor = icon;
    if (!anchor.isValid()) {
        const int x = pointer.x() - screen.left() < screen.right() - pointer.x() ? screen.left()
                                                                                 : screen.right();
        const int y = pointer.y() - screen.top() < screen.bottom() - pointer.y() ? screen.top()
                                                                                 : screen.bottom();
        anchor = QRect(x, y, 1, 1);
    }

    // The icon sits on the screen edge it is nearest to; the panel opens away from that edge.
    const QPoint centre = anchor.center();
    const int toTop = centre.y() - screen.top();
    const int toBottom = screen.bottom() - centre.y();
    const int toLeft = centre.x() - screen.left();
    const int toRight = screen.right() - centre.x();
    const int nearest = std::min({toTop, toBottom, toLeft, toRight});

    QPoint pos;
    if (nearest == toTop || nearest == toBottom) {
        pos.setX(centre.x() - panel.width() / 2);
        pos.setY(nearest == toTop ? anchor.bottom() + 1 + kGap
                                  : anchor.top() - kGap - panel.height());
    } else {
        pos.setX(nearest == toLeft ? anchor.right() + 1 + kGap
                                   : anchor.left() - kGap - panel.width());
        pos.setY(centre.y() - panel.height() / 2);
    }
    return {clampedStart(pos.x(), panel.width(), available.left(), available.width()),
            clampedStart(pos.y(), panel.height(), available.top(), available.height())};
}

QPoint panelPositionAtPointer(const QSize &panel, const QPoint &pointer, const QRect &available)
{
    return {clampedStart(pointer.x(), panel.width(), available.left(), available.width()),
            clampedStart(pointer.y(), panel.height(), available.top(), available.height())};
}

} // namespace tessary
