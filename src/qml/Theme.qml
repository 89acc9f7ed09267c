pragma Singleton
import QtQuick

// Sizes, durations, type sizes and colours shared by every view. Sizes are device-independent
// pixels; colours follow the system palette so light and dark themes both read well.
QtObject {
    readonly property int panelWidth: 320

    // Main screen
    readonly property int listMaxHeight: 540
    readonly property int listSideInset: 12
    readonly property int listTopInset: 38
    readonly property int listBottomInset: 68
    readonly property int cardSpacing: 12
    readonly property int bandStripHeight: 24
    readonly property int emptyBodyMinHeight: 140
    readonly property int emptyBodySpacing: 6
    readonly property int rowSideInset: 12
    readonly property int titleVerticalInset: 10
    readonly property int rowVerticalInset: 8

    // Critically damped spring responses, in seconds.
    readonly property real screenSwitchResponse: 0.25
    readonly property real edgeFadeResponse: 0.22
    readonly property real expandResponse: 0.2

    // Type sizes: the panel title, then the named text styles.
    readonly property int titleSize: 13
    readonly property int title2Size: 17
    readonly property int bodySize: 13
    readonly property int calloutSize: 12
    readonly property int captionSize: 10

    readonly property SystemPalette palette: SystemPalette {
        colorGroup: SystemPalette.Active
    }
    readonly property bool dark: palette.window.hslLightness < 0.5
    readonly property color background: palette.window
    readonly property color primaryText: palette.windowText
    readonly property color secondaryText: Qt.rgba(palette.windowText.r, palette.windowText.g,
                                                   palette.windowText.b, 0.55)
    readonly property color separator: Qt.rgba(palette.windowText.r, palette.windowText.g,
                                               palette.windowText.b, 0.15)
    // The bands' translucent fill over the scrolling cards.
    readonly property color glass: Qt.rgba(palette.window.r, palette.window.g, palette.window.b,
                                           0.88)

    // A bundled symbol drawn in a colour: "image://symbol/<name>/<hex colour without #>".
    function symbol(name, color) {
        return "image://symbol/" + name + "/" + color.toString().slice(1)
    }
}
