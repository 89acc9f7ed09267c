import QtQuick
import QtQuick.Window
import Tessary.Native

// One history entry: its payload in a rounded tile and, under it, how long ago it was copied.
// The pointer anywhere over it (the timestamp line included) counts as over the card.
Item {
    id: card

    required property int index
    required property string kind
    required property string text
    required property var urls
    required property string entryId
    required property var capturedAt

    // Hovered or keyboard-highlighted: draws the accent border and shows the action buttons.
    property bool highlighted: false
    // A long text shown in full; kept for as long as the entry is in the history.
    readonly property bool expanded: expandable && CardSupport.expandedEntries.indexOf(entryId) >= 0

    readonly property bool expandable: kind === "text" && CardSupport.needsExpandToggle(text)
    readonly property bool previewable: kind === "image" || kind === "files"
    readonly property string timestamp: CardSupport.relativeTime(capturedAt, CardSupport.now)

    signal copyRequested()
    signal previewRequested()
    signal hoverChanged(bool hovering)

    function copy() { copyRequested() }
    function preview() { if (previewable) previewRequested() }
    function toggleExpanded() { if (expandable) CardSupport.setExpanded(entryId, !expanded) }

    implicitWidth: style.thumbnailWidth + 2 * style.thumbnailPadding
    implicitHeight: tile.height + style.stackSpacing + timestampLine.implicitHeight

    Accessible.role: Accessible.ListItem
    Accessible.name: kind === "text" ? CardSupport.displayText(text)
                   : kind === "image" ? qsTr("Image") : qsTr("Files")
    Accessible.description: timestamp

    property CardStyle style: CardStyle {}

    HoverHandler {
        id: hover
        onHoveredChanged: card.hoverChanged(hovered)
    }

    Item {
        id: tile
        width: card.width
        height: Math.min(content.height, card.kind !== "text" ? card.style.maxTileHeight
                         : card.expanded ? card.style.expandedTextHeight : card.style.maxTileHeight)
        clip: true
        Behavior on height {
            enabled: card.kind === "text"
            Spring { response: card.style.expandResponse }
        }

        // Drags start anywhere inside the rounded outline, not in the cut-off corners.
        containmentMask: QtObject {
            function contains(point: point): bool {
                const r = card.style.tileRadius
                const cx = Math.min(Math.max(point.x, r), tile.width - r)
                const cy = Math.min(Math.max(point.y, r), tile.height - r)
                if (point.x < 0 || point.y < 0 || point.x > tile.width || point.y > tile.height)
                    return false
                return (point.x - cx) * (point.x - cx) + (point.y - cy) * (point.y - cy) <= r * r
            }
        }

        Rectangle {
            anchors.fill: parent
            radius: card.style.tileRadius
            color: card.style.tileFill
        }

        Loader {
            id: content
            width: tile.width
            sourceComponent: card.kind === "image" ? imageContent
                           : card.kind === "files" ? filesContent : textContent
        }

        Rectangle {
            objectName: "tileBorder"
            anchors.fill: parent
            radius: card.style.tileRadius
            color: "transparent"
            border.width: card.style.borderWidth
            border.color: card.highlighted ? card.style.accent : "transparent"
        }

        Row {
            id: actions
            anchors.right: parent.right
            anchors.bottom: parent.bottom
            anchors.margins: card.style.actionPadding
            spacing: card.style.actionSpacing

            CardButton {
                id: previewButton
                objectName: "previewButton"
                visible: card.previewable
                label: qsTr("Preview")
                prominent: false
                shown: card.highlighted
                style: card.style
                onActivated: card.preview()
            }
            CardButton {
                id: copyButton
                objectName: "copyButton"
                label: qsTr("Copy")
                shown: card.highlighted
                style: card.style
                onActivated: card.copy()
            }
        }

        DragHandler {
            id: drag
            target: null
            // The handler may take over a press made outside the mask once the pointer moves in.
            onActiveChanged: if (active && tile.contains(centroid.pressPosition))
                                 Qt.callLater(card.startDrag)
        }
    }

    function startDrag() {
        CardSupport.startDrag(entryId, tile)
    }

    Text {
        id: timestampLine
        objectName: "timestampLine"
        y: tile.height + card.style.stackSpacing
        width: card.width
        text: card.timestamp
        textFormat: Text.PlainText
        elide: Text.ElideRight
        font.pixelSize: card.style.captionSize
        color: card.style.secondary
    }

    Component {
        id: textContent
        Column {
            padding: card.style.textPadding
            spacing: card.style.textSpacing

            // Expanded, the text takes what the tile's cap leaves beside the paddings and the
            // toggle, and ends in an ellipsis beyond it, so the toggle always stays in view.
            readonly property int expandedLines: Math.max(card.style.collapsedLines,
                Math.floor((card.style.expandedTextHeight - 2 * card.style.textPadding
                            - card.style.textSpacing - card.style.toggleHeight)
                           / metrics.height))

            FontMetrics {
                id: metrics
                font: entryText.font
            }

            Text {
                id: entryText
                objectName: "entryText"
                width: card.width - 2 * card.style.textPadding
                text: CardSupport.displayText(card.text)
                // Verbatim: markup in a copied text is shown, never interpreted or loaded.
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
                maximumLineCount: card.expanded ? parent.expandedLines : card.style.collapsedLines
                elide: Text.ElideRight
                font.family: "monospace"
                font.pixelSize: card.style.calloutSize
                color: card.style.primary
            }
            CardExpandToggle {
                objectName: "expandToggle"
                visible: card.expandable
                expanded: card.expanded
                style: card.style
                onToggled: card.toggleExpanded()
            }
        }
    }

    Component {
        id: imageContent
        Item {
            readonly property size pixels: CardSupport.imageSize(card.entryId)
            // Scaled to the tile's width, up to the tile's cap, aspect ratio kept.
            readonly property real fullWidthHeight: pixels.width > 0
                ? card.width * pixels.height / pixels.width : 0
            readonly property real fitHeight: Math.min(card.style.maxTileHeight, fullWidthHeight)
            // A picture as wide as the tile reaches its corners: the decoder rounds its corners
            // with the tile's (in pixels). A narrower one, centred, leaves them to the tile.
            readonly property real cornerRadius: fullWidthHeight <= card.style.maxTileHeight
                ? card.style.tileRadius * Screen.devicePixelRatio : 0
            readonly property bool broken: fitHeight <= 0 || picture.status === Image.Error
            height: broken ? placeholder.height : fitHeight

            Image {
                id: picture
                objectName: "entryImage"
                width: card.width
                height: parent.fitHeight
                visible: !parent.broken
                asynchronous: true
                cache: false
                fillMode: Image.PreserveAspectFit
                source: parent.pixels.width > 0 && card.width > 0
                        ? "image://entry/" + card.entryId + "/" + parent.cornerRadius : ""
                // Decoded at the size drawn; the image provider is handed this times the
                // screen's pixel ratio.
                sourceSize: Qt.size(Math.ceil(width), Math.ceil(height))
                smooth: true
            }
            CardPlaceholder {
                id: placeholder
                objectName: "photoPlaceholder"
                visible: parent.broken
                width: parent.width
                icon: "image-x-generic"
                style: card.style
            }
        }
    }

    Component {
        id: filesContent
        Item {
            height: card.style.filesTileHeight

            FileThumbnail {
                objectName: "fileThumbnail"
                visible: card.urls.length > 0
                anchors.fill: parent
                anchors.margins: card.style.thumbnailPadding
                url: card.urls.length > 0 ? card.urls[0] : ""
                targetWidth: card.style.thumbnailWidth
                targetHeight: card.style.thumbnailHeight
            }
            CardPlaceholder {
                objectName: "docPlaceholder"
                visible: card.urls.length === 0
                anchors.centerIn: parent
                width: parent.width
                icon: "text-x-generic"
                style: card.style
            }
        }
    }
}
