#pragma once

#include <QEasingCurve>
#include <QObject>
#include <QtQml/qqmlregistration.h>

namespace tessary {

// Critically damped spring motion for a unit mass: stiffness (2 pi / response)^2 and damping
// 4 pi / response. From rest at 0 towards 1 it follows x(t) = 1 - (1 + w t) e^(-w t) with
// w = 2 pi / response: it never overshoots and has settled to 0.1 % after about 1.47 responses.
namespace spring {

double stiffness(double response);
double damping(double response);
// Position at time t (seconds) of a spring released at rest from 0 towards 1.
double position(double t, double response);
// How long an animation runs before the spring counts as settled, in milliseconds.
int settleDurationMs(double response);
// The motion as an easing curve over an animation that lasts settleDurationMs(response):
// the same curve serves every response, as time scales with it. Ends at exactly 1.
QEasingCurve easingCurve();

} // namespace spring

// The spring as QML sees it: the singleton SpringMotion of the Tessary module, behind Spring.qml.
class SpringMotion : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(QEasingCurve curve READ curve CONSTANT FINAL)
public:
    using QObject::QObject;
    QEasingCurve curve() const { return spring::easingCurve(); }
    Q_INVOKABLE int durationMs(double response) const { return spring::settleDurationMs(response); }
};

} // namespace tessary
