import QtQuick
import QtQuick.Window
import Tessary

// An image entry's tile: the picture scaled to the tile's width, up to the tile's cap, with its
// proportions kept; the photo placeholder when the bytes are no picture.
Item {
    id: tile

    required property ClipboardCard card

    readonly property size pixels: card.support.imageSize(card.entryId)
    readonly property real fullWidthHeight: pixels.width > 0
        ? card.width * pixels.height / pixels.width : 0
    readonly property real fitHeight: Math.min(Theme.maxTileHeight, fullWidthHeight)
    // A picture as wide as the tile reaches its corners: the decoder rounds its corners with the
    // tile's (in pixels). A narrower one, centred, leaves them to the tile.
    readonly property real cornerRadius: fullWidthHeight <= Theme.maxTileHeight
        ? Theme.tileRadius * Screen.devicePixelRatio : 0
    readonly property bool broken: fitHeight <= 0 || picture.status === Image.Error

    height: broken ? placeholder.height : fitHeight

    Image {
        id: picture
        objectName: "entryImage"
        width: tile.card.width
        height: tile.fitHeight
        visible: !tile.broken
        asynchronous: true
        cache: false
        fillMode: Image.PreserveAspectFit
        source: tile.pixels.width > 0 && tile.card.width > 0
                ? "image://entry/" + tile.card.entryId + "/" + tile.cornerRadius : ""
        // Decoded at the size drawn; the image provider is handed this times the screen's pixel
        // ratio.
        sourceSize.width: Math.ceil(width)
        sourceSize.height: Math.ceil(height)
        smooth: true
    }
    CardPlaceholder {
        id: placeholder
        objectName: "photoPlaceholder"
        visible: tile.broken
        width: tile.width
        iconName: "image-x-generic"
    }
}
