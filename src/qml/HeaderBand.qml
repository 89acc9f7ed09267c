import QtQuick

// The title band, showing the filter's query in the title's place while there is one. It takes
// no clicks and no hover: pointer events reach the cards beneath.
GlassBand {
    id: band

    property string query

    implicitWidth: Theme.panelWidth
    implicitHeight: title.implicitHeight + 2 * Theme.titleVerticalInset + Theme.bandStripHeight

    Text {
        id: title
        x: Theme.rowSideInset
        y: Theme.titleVerticalInset
        width: parent.width - 2 * Theme.rowSideInset
        objectName: "title"
        text: band.query !== "" ? band.query : qsTr("Clipboard history")
        elide: Text.ElideLeft
        color: band.query !== "" ? Theme.accent : Theme.primaryText
        font.pixelSize: Theme.titleSize
        font.weight: Font.Medium
        Accessible.role: Accessible.Heading
        Accessible.name: band.query !== "" ? qsTr("Filter: %1").arg(band.query) : text
    }
}
