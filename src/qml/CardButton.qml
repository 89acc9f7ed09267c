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
    property CardStyle style: CardStyle {}

    signal activated()

    implicitWidth: title.implicitWidth + 2 * style.buttonSidePadding
    implicitHeight: style.buttonHeight

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
        color: button.style.buttonShadow
    }

    Rectangle {
        visible: button.shown
        anchors.fill: parent
        radius: height / 2
        color: !button.prominent ? "white"
             : tap.pressed ? Qt.darker(button.style.accent, 1.15) : button.style.accent
        border.width: !button.prominent && tap.pressed ? 1 : 0
        border.color: button.style.buttonShadow

        Text {
            id: title
            anchors.centerIn: parent
            text: button.label
            textFormat: Text.PlainText
            font.pixelSize: button.style.buttonTextSize
            font.weight: Font.Medium
            color: button.prominent ? button.style.accentText : "black"
        }
    }

    TapHandler {
        id: tap
        enabled: button.shown
        onTapped: button.activated()
    }
}
