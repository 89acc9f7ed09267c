import QtQuick
import Tessary

// A file's picture: its type's icon at once, then its content thumbnail when one is made.
// Both are fitted inside the item whole; the thumbnail comes with its corners rounded.
Item {
    id: root

    required property FileThumbnails thumbnails
    property url url
    property real targetWidth: Theme.thumbnailWidth
    property real targetHeight: Theme.thumbnailHeight
    readonly property bool showsThumbnail: fileSource.hasThumbnail && thumbnail.status === Image.Ready

    implicitWidth: targetWidth
    implicitHeight: targetHeight

    FileThumbnailSource {
        id: fileSource
        thumbnails: root.thumbnails
        url: root.url
        targetSize: Qt.size(root.targetWidth, root.targetHeight)
        active: root.visible
    }

    Image {
        anchors.fill: parent
        visible: !root.showsThumbnail
        source: fileSource.iconSource
        sourceSize.width: Math.min(root.targetWidth, root.targetHeight)
        sourceSize.height: Math.min(root.targetWidth, root.targetHeight)
        fillMode: Image.PreserveAspectFit
        smooth: true
    }

    Image {
        id: thumbnail
        anchors.centerIn: parent
        // Fit whole inside the item, never cropped or stretched.
        readonly property real fit: implicitWidth > 0 && implicitHeight > 0
            ? Math.min(root.width / implicitWidth, root.height / implicitHeight) : 0
        width: implicitWidth * fit
        height: implicitHeight * fit
        visible: root.showsThumbnail
        source: fileSource.thumbnailSource
        cache: false
        smooth: true
        mipmap: true
    }
}
