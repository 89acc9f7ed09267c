import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessary

// The previewer window's contents: one file as text, as an image, or as its picture with its
// name, type and size and a way to open it.
Rectangle {
    id: root

    required property PreviewContent content
    required property FileThumbnails thumbnails

    color: palette.window
    focus: true

    // One view for each kind of content; only the one for the content on show is visible, and
    // the others hold nothing.
    ColumnLayout {
        anchors.fill: parent
        visible: root.content.kind === PreviewContent.Text
        spacing: 0
        // The text in pieces, so that only what is on screen is laid out.
        ListView {
            id: blocks
            objectName: "previewText"
            Layout.fillWidth: true
            Layout.fillHeight: true
            clip: true
            focus: true
            model: root.content.kind === PreviewContent.Text ? root.content.textBlocks : []
            boundsBehavior: Flickable.StopAtBounds
            ScrollBar.vertical: ScrollBar {}
            delegate: TextEdit {
                required property int index
                required property string modelData
                width: ListView.view.width
                leftPadding: Theme.previewPadding
                rightPadding: Theme.previewPadding
                topPadding: index === 0 ? Theme.textPadding : 0
                text: modelData
                textFormat: TextEdit.PlainText
                readOnly: true
                selectByMouse: true
                selectByKeyboard: true
                wrapMode: TextEdit.WrapAtWordBoundaryOrAnywhere
                font.family: "monospace"
                color: palette.text
                selectionColor: palette.highlight
                selectedTextColor: palette.highlightedText
            }
        }
        Label {
            Layout.fillWidth: true
            visible: root.content.truncated
            text: qsTr("Only the beginning of this file is shown.")
            padding: 8
            opacity: 0.7
        }
    }

    Flickable {
        anchors.fill: parent
        visible: root.content.kind === PreviewContent.Image
        id: flick
        // The file's own resolution: one image pixel to one device pixel.
        readonly property real naturalWidth: image.implicitWidth / Screen.devicePixelRatio
        readonly property real naturalHeight: image.implicitHeight / Screen.devicePixelRatio
        readonly property real fitScale: Math.min(1, width / naturalWidth, height / naturalHeight)
        readonly property real shownScale: root.content.zoomed ? 1 : fitScale
        readonly property bool larger: fitScale < 1

        clip: true
        contentWidth: Math.max(width, naturalWidth * shownScale)
        contentHeight: Math.max(height, naturalHeight * shownScale)
        boundsBehavior: Flickable.StopAtBounds
        ScrollBar.vertical: ScrollBar {}
        ScrollBar.horizontal: ScrollBar {}

        Image {
            id: image
            objectName: "previewImage"
            width: flick.naturalWidth * flick.shownScale
            height: flick.naturalHeight * flick.shownScale
            x: (flick.contentWidth - width) / 2
            y: (flick.contentHeight - height) / 2
            source: root.content.kind === PreviewContent.Image ? root.content.url : ""
            asynchronous: true
            cache: false
            autoTransform: true
            smooth: flick.shownScale < 1
            mipmap: flick.shownScale < 1
        }

        TapHandler {
            enabled: flick.larger
            onDoubleTapped: root.content.zoomed = !root.content.zoomed
        }

        Label {
            anchors.centerIn: parent
            visible: image.status === Image.Error
            text: qsTr("This image cannot be shown.")
        }
    }

    ColumnLayout {
        anchors.fill: parent
        visible: root.content.kind === PreviewContent.Other
        spacing: 12
        Item { Layout.fillHeight: true }
        FileThumbnail {
            Layout.alignment: Qt.AlignHCenter
            Layout.preferredWidth: Math.min(root.width - 2 * Theme.previewMargin,
                                            Theme.previewThumbnailSize.width)
            Layout.preferredHeight: Math.min(root.height / 2, Theme.previewThumbnailSize.height)
            thumbnails: root.thumbnails
            targetWidth: Theme.previewThumbnailSize.width
            targetHeight: Theme.previewThumbnailSize.height
            url: root.content.kind === PreviewContent.Other ? root.content.url : ""
        }
        Label {
            objectName: "previewFileName"
            Layout.alignment: Qt.AlignHCenter
            Layout.maximumWidth: root.width - 2 * Theme.previewMargin
            text: root.content.fileName
            font.bold: true
            font.pixelSize: Theme.title2Size
            elide: Text.ElideMiddle
        }
        Label {
            Layout.alignment: Qt.AlignHCenter
            text: root.content.sizeText.length > 0
                  ? qsTr("%1 — %2").arg(root.content.typeName).arg(root.content.sizeText)
                  : root.content.typeName
            opacity: 0.7
        }
        Button {
            Layout.alignment: Qt.AlignHCenter
            text: qsTr("Open")
            onClicked: root.content.openExternally()
        }
        Item { Layout.fillHeight: true }
    }

    Label {
        anchors.fill: parent
        visible: root.content.kind === PreviewContent.Error
        objectName: "previewError"
        text: root.content.errorMessage
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        wrapMode: Text.Wrap
        padding: Theme.previewMargin
        font.pixelSize: Theme.title3Size
    }
}
