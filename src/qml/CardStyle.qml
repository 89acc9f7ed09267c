import QtQuick

// The card's sizes, type and colours. Sizes are device-independent pixels.
QtObject {
    readonly property int stackSpacing: 6
    readonly property int tileRadius: 8
    readonly property int borderWidth: 2
    readonly property real tileFillOpacity: 0.06
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
    readonly property real expandResponse: 0.2

    readonly property int calloutSize: 12
    readonly property int captionSize: 10
    readonly property int buttonTextSize: 11
    readonly property int buttonHeight: 22
    readonly property int buttonSidePadding: 10

    readonly property SystemPalette palette: SystemPalette {
        colorGroup: SystemPalette.Active
    }
    readonly property color primary: palette.windowText
    readonly property color secondary: Qt.rgba(primary.r, primary.g, primary.b, 0.55)
    readonly property color tileFill: Qt.rgba(primary.r, primary.g, primary.b, tileFillOpacity)
    readonly property color accent: palette.highlight
    readonly property color accentText: palette.highlightedText
    readonly property color buttonShadow: Qt.rgba(0, 0, 0, 0.08)
}
