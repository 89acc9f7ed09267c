import QtQuick
import Tessary

// A text entry's tile: the text in the monospaced callout style, four lines collapsed, with the
// expand toggle under a long one.
Column {
    id: tile

    required property ClipboardCard card

    // Expanded, the text takes what the tile's cap leaves beside the paddings and the toggle,
    // and ends in an ellipsis beyond it, so the toggle always stays in view.
    readonly property int expandedLines: Math.max(Theme.collapsedLines,
        Math.floor((Theme.expandedTextHeight - 2 * Theme.textPadding - Theme.textSpacing
                    - Theme.toggleHeight) / metrics.height))

    padding: Theme.textPadding
    spacing: Theme.textSpacing

    FontMetrics {
        id: metrics
        font: entryText.font
    }

    Text {
        id: entryText
        objectName: "entryText"
        width: tile.card.width - 2 * Theme.textPadding
        text: tile.card.support.displayText(tile.card.text)
        // Verbatim: markup in a copied text is shown, never interpreted or loaded.
        textFormat: Text.PlainText
        wrapMode: Text.Wrap
        maximumLineCount: tile.card.expanded ? tile.expandedLines : Theme.collapsedLines
        elide: Text.ElideRight
        font.family: "monospace"
        font.pixelSize: Theme.calloutSize
        color: Theme.primaryText
    }
    CardExpandToggle {
        objectName: "expandToggle"
        visible: tile.card.expandable
        expanded: tile.card.expanded
        onToggled: tile.card.toggleExpanded()
    }
}
