pragma Singleton
import QtQuick

// Every design value of the views: sizes, durations, type sizes and colours. Sizes are
// device-independent pixels; colours follow the system palette so light and dark themes both
// read well.
QtObject {
    readonly property int panelWidth: 320
    // The corners of a panel drawn by a compositor.
    readonly property int panelRadius: 10

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

    // Cards: the tile, then the timestamp line under it.
    readonly property int cardStackSpacing: 6
    readonly property int tileRadius: 8
    readonly property int tileBorderWidth: 2
    readonly property int maxTileHeight: 200
    readonly property int expandedTextHeight: 380
    readonly property int filesTileHeight: 140
    readonly property int thumbnailPadding: 8
    readonly property int thumbnailWidth: 296
    readonly property int thumbnailHeight: 140
    readonly property int textPadding: 10
    readonly property int textSpacing: 4
    readonly property int collapsedLines: 4
    readonly property int actionPadding: 8
    readonly property int actionSpacing: 8
    readonly property int toggleWidth: 20
    readonly property int toggleHeight: 18
    readonly property int placeholderSize: 32
    readonly property int buttonHeight: 22
    readonly property int buttonSidePadding: 10

    // Settings screen
    readonly property int settingsMinimumHeight: 180
    readonly property int settingsHeaderSpacing: 4
    readonly property size backChevronSize: Qt.size(7, 11)
    readonly property size switchTrackSize: Qt.size(32, 18)

    // Previewer window
    readonly property int previewPadding: 12
    readonly property int previewMargin: 24
    readonly property size previewThumbnailSize: Qt.size(360, 256)

    // Critically damped spring responses, in seconds.
    readonly property real screenSwitchResponse: 0.25
    readonly property real edgeFadeResponse: 0.22
    readonly property real expandResponse: 0.2

    // Type sizes: the panel title, then the named text styles.
    readonly property int titleSize: 13
    readonly property int title2Size: 17
    readonly property int title3Size: 16
    readonly property int bodySize: 13
    readonly property int calloutSize: 12
    readonly property int buttonTextSize: 11
    readonly property int captionSize: 10

    readonly property SystemPalette palette: SystemPalette {
        colorGroup: SystemPalette.Active
    }
    readonly property color background: palette.window
    // The frame around a panel no compositor draws.
    readonly property color frame: palette.mid
    readonly property color primaryText: palette.windowText
    readonly property color secondaryText: Qt.rgba(palette.windowText.r, palette.windowText.g,
                                                   palette.windowText.b, 0.55)
    readonly property color separator: Qt.rgba(palette.windowText.r, palette.windowText.g,
                                               palette.windowText.b, 0.15)
    readonly property color tileFill: Qt.rgba(palette.windowText.r, palette.windowText.g,
                                              palette.windowText.b, 0.06)
    readonly property color switchTrackOff: Qt.rgba(palette.windowText.r, palette.windowText.g,
                                                    palette.windowText.b, 0.25)
    // Says that something does not work; reads on light and dark windows alike.
    readonly property color warningText: "#d0453a"
    readonly property color accent: palette.highlight
    readonly property color accentText: palette.highlightedText
    readonly property color buttonShadow: Qt.rgba(0, 0, 0, 0.08)
    // How far the bands blur the cards scrolling beneath them.
    readonly property int glassBlurRadius: 6
    // The bands' translucent fill over the scrolling cards.
    readonly property color glass: Qt.rgba(palette.window.r, palette.window.g, palette.window.b,
                                           0.88)

    // A bundled symbol drawn in a colour: "image://symbol/<name>/<hex colour without #>".
    function symbol(name: string, tint: color): string {
        return "image://symbol/" + name + "/" + tint.toString().slice(1)
    }
}
