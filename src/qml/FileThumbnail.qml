import QtQuick
import Tessary.Native

// A file's picture: its type's icon at once, then its content thumbnail when one is made.
// Both are fitted inside the item whole; the thumbnail comes with its corners rounded.
Item {
    id: root

    property url url
    property real targetWidth: 296
    property real targetHeight: 140
    readonly property bool showsThumbnail: fileSource.hasThumbnail && thumbnail.status === Image.Ready

    implicitWidth: targetWidth
    implicitHeight: targetHeight

    FileThumbnailSource {
        id: fileSource
        url: root.url
        targetSize: Qt.size(root.targetWidth, root.targetHeight)
        active: root.visible
    }

    Image {
        id: icon
        anchors.fill: parent
        visible: !root.showsThumbnail
        source: fileSource.iconSource
        sourceSize: Qt.size(Math.min(root.targetWidth, root.targetHeight),
                            Math.min(root.targetWidth, root.targetHeight))
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
