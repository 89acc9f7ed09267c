import QtQuick
import Tessary.Native

// The home screen: the title band, the history as a column of cards (or an invitation when
// it is empty) and the Settings and Quit rows. Its state lives in MainScreenState; a screen
// shown again is a new one, scrolled to the top with nothing marked.
FocusScope {
    id: screen

    required property var monitor
    // Anything with previewRow(row).
    property var previewer: null

    readonly property alias rules: rules
    readonly property alias list: list
    readonly property bool empty: monitor.history.count === 0

    signal openSettings()
    signal quitRequested()

    width: Theme.panelWidth
    implicitHeight: empty ? header.implicitHeight + emptyBody.height + footer.implicitHeight
                          : list.height
    focus: true

    Accessible.role: Accessible.Pane
    Accessible.name: qsTr("Clipboard history")

    function copyRow(row) {
        if (row >= 0)
            monitor.copyRow(row)
    }
    function previewRow(row) {
        if (row >= 0 && previewer)
            previewer.previewRow(row)
    }
    function moveHighlight(step) {
        const row = rules.moveHighlight(step)
        if (row >= 0)
            reveal(row)
    }
    // Scrolls the row into the part of the list that no band covers.
    function reveal(row) {
        list.positionViewAtIndex(row, ListView.Contain)
        const item = list.itemAtIndex(row)
        if (!item)
            return
        const top = item.y - list.contentY
        const bottom = top + item.height
        const clearTop = header.height
        const clearBottom = list.height - footer.height
        let y = list.contentY
        if (top < clearTop)
            y -= clearTop - top
        else if (bottom > clearBottom)
            y += bottom - clearBottom
        const first = list.originY - list.topMargin
        const last = list.originY + list.contentHeight + list.bottomMargin - list.height
        list.contentY = Math.max(first, Math.min(y, last))
    }

    Keys.onPressed: (event) => {
        const row = rules.hoveredRow()
        switch (event.key) {
        case Qt.Key_Space:
            // Nothing marked, or the marked entry has left the history: not ours.
            event.accepted = row >= 0
            previewRow(row)
            break
        case Qt.Key_Return:
        case Qt.Key_Enter:
            event.accepted = row >= 0
            copyRow(row)
            break
        case Qt.Key_Up:
        case Qt.Key_Down:
            event.accepted = list.count > 0
            moveHighlight(event.key === Qt.Key_Up ? -1 : 1)
            break
        default:
            event.accepted = false
        }
    }

    MainScreenState {
        id: rules
        history: screen.monitor.history
    }

    // 0 shows a band's short, steep fade, 1 its long, soft one.
    property real headerSoftness: rules.hasContentAbove ? 1 : 0
    property real footerSoftness: rules.hasContentBelow ? 1 : 0
    Behavior on headerSoftness { Spring { response: Theme.edgeFadeResponse } }
    Behavior on footerSoftness { Spring { response: Theme.edgeFadeResponse } }

    ListView {
        id: list
        objectName: "historyList"
        visible: !screen.empty
        width: parent.width
        height: Math.min(contentHeight + topMargin + bottomMargin, Theme.listMaxHeight)
        topMargin: Theme.listTopInset
        bottomMargin: Theme.listBottomInset
        spacing: Theme.cardSpacing
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        model: screen.monitor.history
        // Cards are built only as they come near the visible part.
        cacheBuffer: 0
        reuseItems: false
        Accessible.role: Accessible.List
        Accessible.name: qsTr("Clipboard history")

        delegate: CardSlot {
            width: ListView.view.width
            rules: screen.rules
            onCopyRequested: (row) => screen.copyRow(row)
            onPreviewRequested: (row) => screen.previewRow(row)
        }

        function reportGeometry() {
            rules.updateScrollGeometry(contentY - originY + topMargin, height,
                                       contentHeight + topMargin + bottomMargin)
        }
        onContentYChanged: reportGeometry()
        onOriginYChanged: reportGeometry()
        onHeightChanged: reportGeometry()
        onContentHeightChanged: reportGeometry()
    }

    HeaderBand {
        id: header
        width: parent.width
        stops: rules.headerFadeStops(screen.headerSoftness)
    }

    Item {
        id: emptyBody
        objectName: "emptyState"
        visible: screen.empty
        y: header.height
        width: parent.width
        height: Math.max(Theme.emptyBodyMinHeight, emptyColumn.implicitHeight)

        Column {
            id: emptyColumn
            anchors.centerIn: parent
            spacing: Theme.emptyBodySpacing

            Image {
                anchors.horizontalCenter: parent.horizontalCenter
                sourceSize: Qt.size(Theme.title2Size * 1.3, Theme.title2Size * 1.3)
                source: Theme.symbol("doc.on.clipboard", Theme.secondaryText)
                Accessible.ignored: true
            }
            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                text: qsTr("Copy something to get started")
                color: Theme.secondaryText
                font.pixelSize: Theme.calloutSize
                Accessible.role: Accessible.StaticText
                Accessible.name: text
            }
        }
    }

    FooterBand {
        id: footer
        width: parent.width
        y: screen.height - height
        stops: rules.footerFadeStops(screen.footerSoftness)
        onOpenSettings: screen.openSettings()
        onQuitRequested: screen.quitRequested()
    }
}
