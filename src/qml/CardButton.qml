import QtQuick

// A small capsule button of the card's action row. The item itself stays in place and in the
// accessibility tree at all times, so assistive technology can press it; only its drawing and
// its pointer handling follow `shown`.
Item {
    id: button

    required property string label
    property bool shown: true
    // Accent capsule with the accent's text colour; otherwise a white capsule with black text.
    property bool prominent: true

    signal activated()

    implicitWidth: title.implicitWidth + 2 * Theme.buttonSidePadding
    implicitHeight: Theme.buttonHeight

    Accessible.role: Accessible.Button
    Accessible.name: label
    // A button that the entry's kind does not have is no button at all.
    Accessible.ignored: !visible
    Accessible.onPressAction: button.activated()

    // Shadow: black at 0.08, softened over about 1.5 px, half a pixel down.
    Rectangle {
        visible: button.shown
        x: -0.75
        y: 0.5 - 0.75
        width: parent.width + 1.5
        height: parent.height + 1.5
        radius: height / 2
        color: Theme.buttonShadow
    }

    Rectangle {
        visible: button.shown
        anchors.fill: parent
        radius: height / 2
        color: !button.prominent ? "white"
             : tap.pressed ? Qt.darker(Theme.accent, 1.15) : Theme.accent
        border.width: !button.prominent && tap.pressed ? 1 : 0
        border.color: Theme.buttonShadow

        Text {
            id: title
            anchors.centerIn: parent
            text: button.label
            textFormat: Text.PlainText
            font.pixelSize: Theme.buttonTextSize
            font.weight: Font.Medium
            color: button.prominent ? Theme.accentText : "black"
        }
    }

    TapHandler {
        id: tap
        enabled: button.shown
        onTapped: button.activated()
    }
}
