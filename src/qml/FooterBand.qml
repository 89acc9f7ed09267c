import QtQuick

// The Settings and Quit rows under a transparent strip; only the rows take the pointer (hover
// and clicks), the strip passes it to the cards beneath.
GlassBand {
    id: footer

    signal openSettings()
    signal quitRequested()

    implicitWidth: Theme.panelWidth
    implicitHeight: rows.y + rows.implicitHeight

    Column {
        id: rows
        y: Theme.bandStripHeight
        width: parent.width

        PlainRow {
            objectName: "settingsRow"
            width: parent.width
            label: qsTr("Settings")
            chevron: true
            onActivated: footer.openSettings()
        }
        PlainRow {
            objectName: "quitRow"
            width: parent.width
            label: qsTr("Quit")
            onActivated: footer.quitRequested()
        }
    }
}
