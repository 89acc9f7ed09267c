import QtQuick
import Tessary

// One list row: a card inset from the panel's edges, wired to the screen's rules.
Item {
    id: slot

    required property int index
    required property string kind
    required property string text
    required property list<url> urls
    required property string entryId
    required property date capturedAt
    required property MainScreenState rules
    required property CardSupport support
    required property FileThumbnails thumbnails

    readonly property alias card: card

    signal copyRequested(int row)
    signal previewRequested(int row)

    implicitHeight: card.implicitHeight

    ClipboardCard {
        id: card
        x: Theme.listSideInset
        width: slot.width - 2 * Theme.listSideInset
        index: slot.index
        kind: slot.kind
        text: slot.text
        urls: slot.urls
        entryId: slot.entryId
        capturedAt: slot.capturedAt
        support: slot.support
        thumbnails: slot.thumbnails
        highlighted: slot.rules.hoveredId === slot.entryId
        onCopyRequested: slot.copyRequested(slot.index)
        onPreviewRequested: slot.previewRequested(slot.index)
        onHoverChanged: (hovering) => slot.rules.setPointerOver(slot.entryId, hovering)
    }
}
