#include "barvisibility.h"

namespace tessary::edgefade {

QList<QPointF> headerStops(bool contentAbove)
{
    if (contentAbove)
        return {{0, 1}, {0.5, 1}, {0.65, 0.85}, {0.78, 0.55}, {0.9, 0.25}, {1, 0}, {1, 0}};
    return {{0, 1}, {0.5, 1}, {0.56, 0.85}, {0.6, 0.5}, {0.64, 0.15}, {0.68, 0}, {1, 0}};
}

QList<QPointF> footerStops(bool contentBelow)
{
    if (contentBelow)
        return {{0, 0}, {0, 0}, {0.1, 0.25}, {0.22, 0.55}, {0.35, 0.85}, {0.5, 1}, {1, 1}};
    return {{0, 0}, {0.18, 0}, {0.22, 0.15}, {0.26, 0.5}, {0.3, 0.85}, {0.35, 1}, {1, 1}};
}

QList<QPointF> blend(const QList<QPointF> &steep, const QList<QPointF> &soft, double softness)
{
    QList<QPointF> stops;
    const qsizetype count = std::min(steep.size(), soft.size());
    stops.reserve(count);
    for (qsizetype i = 0; i < count; ++i)
        stops.append(steep[i] + (soft[i] - steep[i]) * softness);
    return stops;
}

} // namespace tessary::edgefade
