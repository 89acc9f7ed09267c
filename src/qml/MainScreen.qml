import QtQuick
import Tessary

// The home screen: the title band, the history as a column of cards (or an invitation when
// it is empty) and the Settings and Quit rows. Its state lives in MainScreenState; a screen
// shown again is a new one, scrolled to the top with nothing marked.
FocusScope {
    id: screen

    required property ClipboardMonitor monitor
    required property PreviewController previewer
    required property CardSupport support
    required property FileThumbnails thumbnails

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

    function copyRow(row: int) {
        if (row >= 0)
            monitor.copyRow(row)
    }
    function previewRow(row: int) {
        if (row >= 0)
            previewer.previewRow(row)
    }
    function moveHighlight(step: int) {
        const row = rules.moveHighlight(step)
        if (row >= 0)
            reveal(row)
    }
    // Scrolls the row into the part of the list that no band covers. Left untyped: the compiler
    // of Qt 6.4 turns it into code that crashes.
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
        // A band fades long and soft over hidden content, short and steep otherwise.
        headerSoftness: hasContentAbove ? 1 : 0
        footerSoftness: hasContentBelow ? 1 : 0
        Behavior on headerSoftness { Spring { response: Theme.edgeFadeResponse } }
        Behavior on footerSoftness { Spring { response: Theme.edgeFadeResponse } }
    }

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

        // The delegate reaches the screen's id as every delegate does; qmllint of Qt 6.4 cannot
        // tell that a component may (what later versions declare as ComponentBehavior: Bound).
        // qmllint disable unqualified
        delegate: CardSlot {
            width: list.width
            rules: screen.rules
            support: screen.support
            thumbnails: screen.thumbnails
            onCopyRequested: (row) => screen.copyRow(row)
            onPreviewRequested: (row) => screen.previewRow(row)
        }
        // qmllint enable unqualified

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
        stops: rules.headerStops
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
                sourceSize.width: Theme.title2Size * 1.3
                sourceSize.height: Theme.title2Size * 1.3
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
        stops: rules.footerStops
        onOpenSettings: screen.openSettings()
        onQuitRequested: screen.quitRequested()
    }
}
