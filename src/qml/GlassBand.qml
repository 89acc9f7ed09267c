import QtQuick
import Tessary

// A frosted band over the list: what lies beneath is blurred, then veiled by a translucent fill,
// both faded towards the list by a vertical alpha mask. The mask is drawn into the fill's
// gradient (which every scene graph backend renders), so the band's content must sit where the
// mask is opaque.
Item {
    id: band

    // Seven (location, alpha) points from the band's top to its bottom.
    required property list<point> stops

    BackdropBlur {
        objectName: "backdropBlur"
        anchors.fill: parent
        radius: Theme.glassBlurRadius
        mask: band.stops
    }

    function stopColor(i: int): color {
        return Qt.rgba(Theme.glass.r, Theme.glass.g, Theme.glass.b, Theme.glass.a * stops[i].y)
    }

    Rectangle {
        anchors.fill: parent
        // Follows the panel's corners where it has round ones; its far edge is clear anyway.
        radius: Theme.panelRadius
        gradient: Gradient {
            GradientStop { position: band.stops[0].x; color: band.stopColor(0) }
            GradientStop { position: band.stops[1].x; color: band.stopColor(1) }
            GradientStop { position: band.stops[2].x; color: band.stopColor(2) }
            GradientStop { position: band.stops[3].x; color: band.stopColor(3) }
            GradientStop { position: band.stops[4].x; color: band.stopColor(4) }
            GradientStop { position: band.stops[5].x; color: band.stopColor(5) }
            GradientStop { position: band.stops[6].x; color: band.stopColor(6) }
        }
    }
}
