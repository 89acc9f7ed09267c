#pragma once

#include <QImage>
#include <QList>
#include <QPointF>
#include <QQuickItem>
#include <QtQml/qqmlregistration.h>

namespace tessary {

// Blurs, in place, the pixels of `area` in `image` (32 bits a pixel) with three box passes of
// `radius` pixels each way, which come close to a Gaussian. Each row is mixed with its blurred
// self by the strength its vertical fraction of the area has under `mask`: (location, strength)
// points from top (0) to bottom (1), linear between them. Pixels not fully opaque (a rounded
// window's corners) stay as they are.
void blurInPlace(QImage &image, const QRect &area, int radius, const QList<QPointF> &mask);

// A frosted backdrop: blurs what the scene has drawn beneath it, as glass does, before what lies
// above it is drawn. The software scene graph draws into an image on the CPU, where the pixels
// can be blurred where they are; other scene graphs, and high pixel ratios (where it would cost
// more than a millisecond a frame), draw nothing here.
class BackdropBlur : public QQuickItem {
    Q_OBJECT
    QML_ELEMENT
    // In device-independent pixels.
    Q_PROPERTY(int radius READ radius WRITE setRadius NOTIFY radiusChanged FINAL)
    // How strong the blur is down the item: (location, strength) points, as blurInPlace takes.
    Q_PROPERTY(QList<QPointF> mask READ mask WRITE setMask NOTIFY maskChanged FINAL)
public:
    explicit BackdropBlur(QQuickItem *parent = nullptr);

    int radius() const { return m_radius; }
    void setRadius(int radius);
    QList<QPointF> mask() const { return m_mask; }
    void setMask(const QList<QPointF> &mask);

signals:
    void radiusChanged();
    void maskChanged();

protected:
    QSGNode *updatePaintNode(QSGNode *node, UpdatePaintNodeData *) override;

private:
    int m_radius = 8;
    QList<QPointF> m_mask{{0, 1}, {1, 1}};
};

} // namespace tessary
