import QtQuick

// A critically damped spring (no overshoot) with the given response in seconds, as a timed
// animation: x(t) = 1 - (1 + w t) e^(-w t), w = 2 pi / response, run until it is within 0.1 %
// of its end (about 1.47 responses), drawn by a cubic Bezier within 3 % of the exact curve.
NumberAnimation {
    property real response: 0.2

    duration: Math.round(1.47 * response * 1000)
    easing.type: Easing.BezierSpline
    easing.bezierCurve: [0.3, 0.55, 0.05, 1.0, 1.0, 1.0]
}
