#include "spring.h"

#include <cmath>
#include <numbers>

namespace tessary::spring {
namespace {

// w t at which 1 - (1 + w t) e^(-w t) reaches 0.999.
constexpr double kSettledPhase = 9.2335;

double normalisedProgress(qreal progress)
{
    const double phase = kSettledPhase * progress;
    const double end = 1.0 - (1.0 + kSettledPhase) * std::exp(-kSettledPhase);
    return (1.0 - (1.0 + phase) * std::exp(-phase)) / end;
}

} // namespace

double stiffness(double response)
{
    const double omega = 2 * std::numbers::pi / response;
    return omega * omega;
}

double damping(double response)
{
    return 4 * std::numbers::pi / response;
}

double position(double t, double response)
{
    if (t <= 0)
        return 0;
    const double phase = 2 * std::numbers::pi / response * t;
    return 1.0 - (1.0 + phase) * std::exp(-phase);
}

int settleDurationMs(double response)
{
    return static_cast<int>(std::ceil(kSettledPhase / (2 * std::numbers::pi) * response * 1000));
}

QEasingCurve easingCurve()
{
    QEasingCurve curve;
    curve.setCustomType(&normalisedProgress);
    return curve;
}

} // namespace tessary::spring
