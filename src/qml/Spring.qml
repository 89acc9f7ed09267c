import QtQuick
import Tessary

// The one motion of the views: a critically damped spring (no overshoot) with the given
// response in seconds. Use it wherever a property animates, e.g.
//     Behavior on x { Spring { response: Theme.screenSwitchResponse } }
NumberAnimation {
    property real response: 0.25

    duration: SpringMotion.durationMs(response)
    easing: SpringMotion.curve
}
