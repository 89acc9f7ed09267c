import QtQuick
import QtQuick.Controls

// One history entry: its payload in a rounded tile and, under it, how long ago it was copied.
Item {
    id: card

    required property int index
    required property string kind
    required property string text
    required property var imageBytes
    required property var urls
    required property string entryId
    required property var capturedAt

    // Hovered or keyboard-highlighted: shows the action buttons.
    property bool highlighted: false

    signal copyRequested()
    signal previewRequested()
    signal hoverChanged(bool hovering)

    implicitHeight: column.implicitHeight

    Column {
        id: column
        width: parent.width
        spacing: 6

        Rectangle {
            width: parent.width
            height: 80
            radius: 8
            color: Qt.rgba(0, 0, 0, 0.06)
            Text {
                anchors.fill: parent
                anchors.margins: 10
                text: card.kind === "text" ? card.text : card.kind
                textFormat: Text.PlainText
                elide: Text.ElideRight
                wrapMode: Text.Wrap
                maximumLineCount: 4
            }
            Row {
                anchors.right: parent.right
                anchors.bottom: parent.bottom
                anchors.margins: 8
                spacing: 8
                visible: card.highlighted
                Button {
                    text: qsTr("Preview")
                    visible: card.kind !== "text"
                    onClicked: card.previewRequested()
                }
                Button {
                    text: qsTr("Copy")
                    onClicked: card.copyRequested()
                }
            }
        }
    }

    HoverHandler {
        onHoveredChanged: card.hoverChanged(hovered)
    }
}
