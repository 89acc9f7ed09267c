import QtQuick

// A borderless button row of the footer: a label, a flexible space and an optional chevron,
// the whole row clickable. Clicks and assistive-technology presses run the same action.
Item {
    id: row

    property string label
    property bool chevron: false
    signal activated()

    function activate() {
        row.activated()
    }

    implicitWidth: Theme.panelWidth
    implicitHeight: labelText.implicitHeight + 2 * Theme.rowVerticalInset

    Accessible.role: Accessible.Button
    Accessible.name: label
    Accessible.focusable: true
    Accessible.onPressAction: row.activate()

    Text {
        id: labelText
        anchors.left: parent.left
        anchors.leftMargin: Theme.rowSideInset
        anchors.verticalCenter: parent.verticalCenter
        text: row.label
        color: Theme.secondaryText
        font.pixelSize: Theme.bodySize
        Accessible.ignored: true
    }

    Image {
        visible: row.chevron
        anchors.right: parent.right
        anchors.rightMargin: Theme.rowSideInset
        anchors.verticalCenter: parent.verticalCenter
        sourceSize.width: Theme.captionSize
        sourceSize.height: Theme.captionSize
        source: row.chevron ? Theme.symbol("chevron.right", Theme.secondaryText) : ""
        Accessible.ignored: true
    }

    // Takes hover as well as clicks, so a card under the row is neither marked nor previewed.
    MouseArea {
        anchors.fill: parent
        hoverEnabled: true
        onClicked: row.activate()
    }
}
