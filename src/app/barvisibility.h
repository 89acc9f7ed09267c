#pragma once

#include <QList>
#include <QPointF>

namespace tessary {

// Whether list content is hidden beyond the top and the bottom edge, from the vertical scroll
// geometry: y the offset scrolled (0 at the top), visibleHeight the viewport, contentHeight the
// whole content with its paddings. Each edge has a 2-point tolerance.
struct BarVisibility {
    bool above = false;
    bool below = false;

    static BarVisibility fromGeometry(double y, double visibleHeight, double contentHeight)
    {
        return {y > 2, y + visibleHeight < contentHeight - 2};
    }
    friend bool operator==(const BarVisibility &, const BarVisibility &) = default;
};

// The alpha masks of the header and footer bands: stops as (location, alpha), top to bottom.
// A band with content hidden beyond its edge fades long and soft, otherwise short and steep.
// Both lists of one band have the same number of stops (the shorter one repeats its end stop,
// which changes nothing), so a band can pass from one to the other stop by stop.
namespace edgefade {

QList<QPointF> headerStops(bool contentAbove);
QList<QPointF> footerStops(bool contentBelow);
// The stops at `softness` between the steep (0) and the soft (1) list, each location and alpha
// interpolated linearly.
QList<QPointF> blend(const QList<QPointF> &steep, const QList<QPointF> &soft, double softness);

} // namespace edgefade
} // namespace tessary
