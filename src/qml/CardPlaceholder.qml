import QtQuick

// Stands in for a payload that cannot be drawn: a themed icon, dimmed, centred.
Item {
    id: placeholder

    // A freedesktop icon name; a bundled drawing stands in where the theme lacks it.
    required property string iconName

    implicitHeight: Theme.placeholderSize
    height: implicitHeight

    Image {
        anchors.centerIn: parent
        width: Theme.placeholderSize
        height: Theme.placeholderSize
        sourceSize.width: width
        sourceSize.height: height
        source: "image://icon/" + placeholder.iconName
        fillMode: Image.PreserveAspectFit
        opacity: 0.55
    }
}
