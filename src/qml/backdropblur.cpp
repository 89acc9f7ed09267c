#include "backdropblur.h"

#include <QPainter>
#include <QQuickWindow>
#include <QSGRenderNode>
#include <QSGRendererInterface>
#include <algorithm>

namespace tessary {

namespace {

constexpr int kPasses = 3;
// Beyond this many device pixels to the logical one the blur costs more than a millisecond a
// frame (four times the pixels at 2): the bands keep their translucent fill alone.
constexpr qreal kMostPixelRatio = 1.5;

// Pixels are worked on as two 16-bit lanes of two 8-bit channels each, so that one addition
// serves two channels: sums of up to 257 channel values fit a lane.
quint32 evenChannels(quint32 pixel)
{
    return pixel & 0x00ff00ff;
}
quint32 oddChannels(quint32 pixel)
{
    return (pixel >> 8) & 0x00ff00ff;
}
// Two lanes of sums, each times `scale` / 65536, back to a pixel's channels.
quint32 scaled(quint32 even, quint32 odd, quint32 scale)
{
    const auto lane = [scale](quint32 sum) { return (sum * scale) >> 16; };
    return lane(even & 0xffff) | lane(odd & 0xffff) << 8 | lane(even >> 16) << 16 |
           lane(odd >> 16) << 24;
}

// One box pass along a line of `count` pixels `step` apart: each pixel becomes the mean of the
// 2 r + 1 pixels around it, the line's ends repeated beyond it.
void boxPass(const quint32 *in, quint32 *out, int count, int step, int r)
{
    const quint32 scale = (65536 + r) / (2 * r + 1);
    const auto at = [in, count, step](int index) {
        return in[std::clamp(index, 0, count - 1) * step];
    };
    quint32 even = 0, odd = 0;
    for (int i = -r; i <= r; ++i) {
        even += evenChannels(at(i));
        odd += oddChannels(at(i));
    }
    for (int i = 0; i < count; ++i) {
        out[i * step] = scaled(even, odd, scale);
        // What enters is added before what leaves is taken: no lane ever borrows.
        const quint32 entering = at(i + r + 1), leaving = at(i - r);
        even = even + evenChannels(entering) - evenChannels(leaving);
        odd = odd + oddChannels(entering) - oddChannels(leaving);
    }
}

// `weight` of 256 parts of b, the rest of a.
quint32 mix(quint32 a, quint32 b, quint32 weight)
{
    const quint32 even = (evenChannels(a) * (256 - weight) + evenChannels(b) * weight) >> 8;
    const quint32 odd = (oddChannels(a) * (256 - weight) + oddChannels(b) * weight) >> 8;
    return (even & 0x00ff00ff) | (odd & 0x00ff00ff) << 8;
}

float strengthAt(const QList<QPointF> &mask, float location)
{
    if (mask.isEmpty())
        return 1;
    if (location <= mask.first().x())
        return float(mask.first().y());
    for (qsizetype i = 1; i < mask.size(); ++i) {
        const QPointF &a = mask[i - 1], &b = mask[i];
        if (location <= b.x()) {
            const double span = b.x() - a.x();
            return float(span <= 0 ? b.y() : a.y() + (b.y() - a.y()) * (location - a.x()) / span);
        }
    }
    return float(mask.last().y());
}

// Draws nothing of its own: blurs what is drawn under its rectangle.
class BlurNode : public QSGRenderNode {
public:
    QQuickWindow *window = nullptr;
    QRectF area;
    int radius = 0;
    QList<QPointF> mask;

    StateFlags changedStates() const override { return {}; }
    RenderingFlags flags() const override { return BoundedRectRendering; }
    QRectF rect() const override { return area; }

    void render(const RenderState *state) override
    {
        auto *painter = static_cast<QPainter *>(window->rendererInterface()->getResource(
            window, QSGRendererInterface::PainterResource));
        if (!painter || !painter->device() || painter->device()->devType() != QInternal::Image)
            return;
        auto *image = static_cast<QImage *>(painter->device());
        const qreal scale = image->devicePixelRatio();
        QRectF target = matrix()->toTransform().mapRect(area);
        if (const QRegion *clip = state->clipRegion(); clip && !clip->isEmpty())
            target &= QRectF(clip->boundingRect());
        const QRect pixels =
            QRectF(target.topLeft() * scale, target.size() * scale).toAlignedRect();
        QList<QPointF> strengths = mask;
        // The mask runs over the whole area; a clipped part takes its own share of it.
        const QRectF whole = matrix()->toTransform().mapRect(area);
        for (QPointF &point : strengths)
            point.setX((whole.top() + point.x() * whole.height() - target.top()) /
                       std::max(1.0, target.height()));
        blurInPlace(*image, pixels, qRound(radius * scale), strengths);
    }
};

} // namespace

void blurInPlace(QImage &image, const QRect &area, int radius, const QList<QPointF> &mask)
{
    const QRect rect = area & image.rect();
    if (rect.width() < 2 || rect.height() < 2 || radius <= 0 || image.depth() != 32)
        return;
    // The blur runs at half the resolution, a quarter of the pixels: it is soft anyway.
    const int width = rect.width(), height = rect.height();
    const int halfWidth = (width + 1) / 2, halfHeight = (height + 1) / 2;
    // Columns of each half-resolution pixel's pair, the last repeated for an odd width.
    QList<int> left(halfWidth), right(halfWidth);
    for (int x = 0; x < halfWidth; ++x) {
        left[x] = rect.left() + 2 * x;
        right[x] = rect.left() + std::min(2 * x + 1, width - 1);
    }
    QList<quint32> half(qsizetype(halfWidth) * halfHeight), scratch(half.size());
    for (int y = 0; y < halfHeight; ++y) {
        const auto *top =
            reinterpret_cast<const quint32 *>(image.constScanLine(rect.top() + 2 * y));
        const auto *bottom = reinterpret_cast<const quint32 *>(
            image.constScanLine(rect.top() + std::min(2 * y + 1, height - 1)));
        quint32 *out = half.data() + qsizetype(y) * halfWidth;
        for (int x = 0; x < halfWidth; ++x) {
            const quint32 a = top[left[x]], b = top[right[x]], c = bottom[left[x]],
                          d = bottom[right[x]];
            const quint32 even =
                evenChannels(a) + evenChannels(b) + evenChannels(c) + evenChannels(d);
            const quint32 odd = oddChannels(a) + oddChannels(b) + oddChannels(c) + oddChannels(d);
            out[x] = ((even >> 2) & 0x00ff00ff) | ((odd >> 2) & 0x00ff00ff) << 8;
        }
    }
    const int r = std::max(1, radius / 2);
    for (int pass = 0; pass < kPasses; ++pass) {
        for (int y = 0; y < halfHeight; ++y)
            boxPass(half.constData() + qsizetype(y) * halfWidth,
                    scratch.data() + qsizetype(y) * halfWidth, halfWidth, 1,
                    std::min(r, halfWidth));
        for (int x = 0; x < halfWidth; ++x)
            boxPass(scratch.constData() + x, half.data() + x, halfHeight, halfWidth,
                    std::min(r, halfHeight));
    }
    // Back to full resolution, each pixel weighing its four nearest half-resolution ones 9:3:3:1,
    // and mixed into the picture by the mask's strength.
    QList<int> nearColumn(width), farColumn(width);
    for (int x = 0; x < width; ++x) {
        nearColumn[x] = x / 2;
        farColumn[x] = std::clamp(x % 2 ? x / 2 + 1 : x / 2 - 1, 0, halfWidth - 1);
    }
    const bool hasAlpha = image.hasAlphaChannel();
    for (int y = 0; y < height; ++y) {
        const quint32 weight =
            quint32(std::clamp(strengthAt(mask, (y + 0.5f) / height), 0.0f, 1.0f) * 256 + 0.5f);
        if (weight == 0)
            continue;
        const int farRow = std::clamp(y % 2 ? y / 2 + 1 : y / 2 - 1, 0, halfHeight - 1);
        const quint32 *nearLine = half.constData() + qsizetype(y / 2) * halfWidth;
        const quint32 *farLine = half.constData() + qsizetype(farRow) * halfWidth;
        auto *line = reinterpret_cast<quint32 *>(image.scanLine(rect.top() + y)) + rect.left();
        for (int x = 0; x < width; ++x) {
            if (hasAlpha && qAlpha(line[x]) != 0xff)
                continue;
            const quint32 p = nearLine[nearColumn[x]], q = nearLine[farColumn[x]],
                          s = farLine[nearColumn[x]], t = farLine[farColumn[x]];
            const quint32 even =
                9 * evenChannels(p) + 3 * evenChannels(q) + 3 * evenChannels(s) + evenChannels(t);
            const quint32 odd =
                9 * oddChannels(p) + 3 * oddChannels(q) + 3 * oddChannels(s) + oddChannels(t);
            const quint32 soft = ((even >> 4) & 0x00ff00ff) | ((odd >> 4) & 0x00ff00ff) << 8;
            line[x] = mix(line[x], soft, weight);
        }
    }
}

BackdropBlur::BackdropBlur(QQuickItem *parent) : QQuickItem(parent)
{
    setFlag(ItemHasContents);
}

void BackdropBlur::setRadius(int radius)
{
    if (m_radius == radius)
        return;
    m_radius = radius;
    emit radiusChanged();
    update();
}

void BackdropBlur::setMask(const QList<QPointF> &mask)
{
    if (m_mask == mask)
        return;
    m_mask = mask;
    emit maskChanged();
    update();
}

QSGNode *BackdropBlur::updatePaintNode(QSGNode *node, UpdatePaintNodeData *)
{
    const bool software =
        window() && window()->rendererInterface()->graphicsApi() == QSGRendererInterface::Software;
    if (!software || window()->effectiveDevicePixelRatio() > kMostPixelRatio || width() <= 0 ||
        height() <= 0) {
        delete node;
        return nullptr;
    }
    auto *blur = static_cast<BlurNode *>(node);
    if (!blur)
        blur = new BlurNode;
    blur->window = window();
    blur->area = QRectF(0, 0, width(), height());
    blur->radius = m_radius;
    blur->mask = m_mask;
    blur->markDirty(QSGNode::DirtyMaterial);
    return blur;
}

} // namespace tessary
