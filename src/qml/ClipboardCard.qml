import QtQuick
import Tessary

// One history entry: its payload in a rounded tile and, under it, how long ago it was copied.
// The pointer anywhere over it (the timestamp line included) counts as over the card.
Item {
    id: card

    required property int index
    required property string kind
    required property string text
    required property list<url> urls
    required property string entryId
    required property date capturedAt
    required property CardSupport support
    required property FileThumbnails thumbnails

    // Hovered or keyboard-highlighted: draws the accent border and shows the action buttons.
    property bool highlighted: false
    // A long text shown in full; kept for as long as the entry is in the history.
    readonly property list<string> expandedEntries: support.expandedEntries
    readonly property bool expanded: expandable && expandedEntries.indexOf(entryId) >= 0

    readonly property bool expandable: kind === "text" && support.needsExpandToggle(entryId)
    readonly property bool previewable: kind === "image" || kind === "files"
    readonly property string timestamp: support.relativeTime(capturedAt, support.now)

    signal copyRequested()
    signal previewRequested()
    signal hoverChanged(bool hovering)

    function copy() { copyRequested() }
    function preview() { if (previewable) previewRequested() }
    function toggleExpanded() { if (expandable) support.setExpanded(entryId, !expanded) }
    function startDrag() { support.startDrag(entryId, tile) }

    implicitWidth: Theme.thumbnailWidth + 2 * Theme.thumbnailPadding
    implicitHeight: tile.height + Theme.cardStackSpacing + timestampLine.implicitHeight

    Accessible.role: Accessible.ListItem
    Accessible.name: kind === "text" ? support.displayText(text)
                   : kind === "image" ? qsTr("Image") : qsTr("%n file(s)", "", urls.length)
    Accessible.description: timestamp

    HoverHandler {
        onHoveredChanged: card.hoverChanged(hovered)
    }

    Item {
        id: tile
        objectName: "tile"
        width: card.width
        height: Math.min(content.height, card.kind !== "text" ? Theme.maxTileHeight
                         : card.expanded ? Theme.expandedTextHeight : Theme.maxTileHeight)
        clip: true
        // Only expanding and collapsing a text moves the height on the spring, not the first
        // sizing to the content.
        property bool sized: false
        Behavior on height {
            enabled: tile.sized && card.kind === "text"
            Spring { response: Theme.expandResponse }
        }

        // Drags start anywhere inside the rounded outline, not in the cut-off corners.
        containmentMask: QtObject {
            function contains(point: point): bool {
                const r = Theme.tileRadius
                const cx = Math.min(Math.max(point.x, r), tile.width - r)
                const cy = Math.min(Math.max(point.y, r), tile.height - r)
                if (point.x < 0 || point.y < 0 || point.x > tile.width || point.y > tile.height)
                    return false
                return (point.x - cx) * (point.x - cx) + (point.y - cy) * (point.y - cy) <= r * r
            }
        }

        Rectangle {
            anchors.fill: parent
            radius: Theme.tileRadius
            color: Theme.tileFill
        }

        // An entry never changes its kind: the tile for it is chosen once.
        Loader {
            id: content
            width: tile.width
            Component.onCompleted: {
                setSource(card.kind === "image" ? "ImageTile.qml"
                          : card.kind === "files" ? "FilesTile.qml" : "TextTile.qml", {card: card})
                tile.sized = true
            }
        }

        Rectangle {
            objectName: "tileBorder"
            anchors.fill: parent
            radius: Theme.tileRadius
            color: "transparent"
            border.width: Theme.tileBorderWidth
            border.color: card.highlighted ? Theme.accent : "transparent"
        }

        Row {
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            anchors.margins: Theme.actionPadding
            spacing: Theme.actionSpacing

            CardButton {
                objectName: "previewButton"
                visible: card.previewable
                label: qsTr("Preview")
                prominent: false
                shown: card.highlighted
                onActivated: card.preview()
            }
            CardButton {
                objectName: "copyButton"
                label: qsTr("Copy")
                shown: card.highlighted
                onActivated: card.copy()
            }
        }

        DragHandler {
            target: null
            // The handler may take over a press made outside the mask once the pointer moves in.
            onActiveChanged: if (active && tile.contains(centroid.pressPosition))
                                 card.startDrag()
        }
    }

    Text {
        id: timestampLine
        objectName: "timestampLine"
        y: tile.height + Theme.cardStackSpacing
        width: card.width
        text: card.timestamp
        textFormat: Text.PlainText
        elide: Text.ElideRight
        font.pixelSize: Theme.captionSize
        color: Theme.secondaryText
    }
}
