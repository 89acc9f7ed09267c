import QtQuick

// The title band. It takes no clicks and no hover: pointer events reach the cards beneath.
GlassBand {
    implicitWidth: Theme.panelWidth
    implicitHeight: title.implicitHeight + 2 * Theme.titleVerticalInset + Theme.bandStripHeight

    Text {
        id: title
        x: Theme.rowSideInset
        y: Theme.titleVerticalInset
        width: parent.width - 2 * Theme.rowSideInset
        text: qsTr("Clipboard history")
        color: Theme.primaryText
        font.pixelSize: Theme.titleSize
        font.weight: Font.Medium
        Accessible.role: Accessible.Heading
        Accessible.name: text
    }
}
