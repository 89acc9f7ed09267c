import QtQuick

// Stands in for a payload that cannot be drawn: a themed icon, dimmed, centred.
Item {
    id: placeholder

    required property string icon
    property CardStyle style: CardStyle {}

    implicitHeight: style.placeholderSize
    height: implicitHeight

    Image {
        anchors.centerIn: parent
        width: placeholder.style.placeholderSize
        height: placeholder.style.placeholderSize
        sourceSize: Qt.size(width, height)
        source: "image://cardicon/" + placeholder.icon
        fillMode: Image.PreserveAspectFit
        opacity: 0.55
    }
}
