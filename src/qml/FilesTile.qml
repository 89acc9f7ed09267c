import QtQuick
import Tessary

// A files entry's tile: the first file's picture, or the document placeholder for an empty list.
Item {
    id: tile

    required property ClipboardCard card

    height: Theme.filesTileHeight

    FileThumbnail {
        objectName: "fileThumbnail"
        visible: tile.card.urls.length > 0
        anchors.fill: parent
        anchors.margins: Theme.thumbnailPadding
        thumbnails: tile.card.thumbnails
        url: tile.card.urls.length > 0 ? tile.card.urls[0] : ""
        targetWidth: Theme.thumbnailWidth
        targetHeight: Theme.thumbnailHeight
    }
    CardPlaceholder {
        objectName: "docPlaceholder"
        visible: tile.card.urls.length === 0
        anchors.centerIn: parent
        width: tile.width
        iconName: "text-x-generic"
    }
}
