import QtQuick
import Tessary

// The home screen: the title band, the history as a column of cards (or an invitation when
// it is empty) and the Settings and Quit rows. Typing filters the list: the query takes the
// title's place, and a list left empty says so. Its state lives in MainScreenState and
// HistoryFilter; a screen shown again is a new one, scrolled to the top, unfiltered, with
// nothing marked.
FocusScope {
    id: screen

    required property ClipboardMonitor monitor
    required property PreviewController previewer
    required property CardSupport support
    required property FileThumbnails thumbnails

    readonly property alias rules: rules
    readonly property alias filter: filter
    readonly property alias list: list
    readonly property bool empty: monitor.history.count === 0
    readonly property bool noMatch: !empty && filter.count === 0

    signal openSettings()
    signal quitRequested()

    width: Theme.panelWidth
    implicitHeight: empty || noMatch
                    ? header.implicitHeight + emptyBody.height + footer.implicitHeight
                    : list.height
    focus: true

    Accessible.role: Accessible.Pane
    Accessible.name: qsTr("Clipboard history")

    // Rows of the list as shown; the monitor and the previewer count in the whole history.
    function copyRow(row: int) {
        if (row >= 0)
            monitor.copyRow(filter.historyRow(row))
    }
    function previewRow(row: int) {
        if (row >= 0)
            previewer.previewRow(filter.historyRow(row))
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

    // Printable keys type into the filter's query; Space previews while it is empty.
    Keys.onPressed: (event) => {
        const row = rules.hoveredRow()
        switch (event.key) {
        case Qt.Key_Space:
            if (filter.query !== "") {
                event.accepted = filter.type(event.text, event.modifiers)
                break
            }
            // Nothing marked, or the marked entry has left the history: not ours.
            event.accepted = row >= 0
            previewRow(row)
            break
        case Qt.Key_Backspace:
            event.accepted = filter.backspace()
            break
        case Qt.Key_Escape:
            // Clears the query first; with none, it passes up and the panel closes.
            event.accepted = filter.clear()
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
            event.accepted = filter.type(event.text, event.modifiers)
        }
    }

    HistoryFilter {
        id: filter
        history: screen.monitor.history
    }

    MainScreenState {
        id: rules
        entries: filter
        // A band fades long and soft over hidden content, short and steep otherwise.
        headerSoftness: hasContentAbove ? 1 : 0
        footerSoftness: hasContentBelow ? 1 : 0
        Behavior on headerSoftness { Spring { response: Theme.edgeFadeResponse } }
        Behavior on footerSoftness { Spring { response: Theme.edgeFadeResponse } }
    }

    ListView {
        id: list
        objectName: "historyList"
        visible: !screen.empty && !screen.noMatch
        width: parent.width
        height: Math.min(contentHeight + topMargin + bottomMargin, Theme.listMaxHeight)
        topMargin: Theme.listTopInset
        bottomMargin: Theme.listBottomInset
        spacing: Theme.cardSpacing
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        model: filter
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

    ReadingOrder {
        view: list
    }

    HeaderBand {
        id: header
        width: parent.width
        stops: rules.headerStops
        query: filter.query
    }

    Item {
        id: emptyBody
        objectName: "emptyState"
        visible: screen.empty || screen.noMatch
        y: header.height
        width: parent.width
        height: Math.max(Theme.emptyBodyMinHeight, emptyColumn.implicitHeight)

        Column {
            id: emptyColumn
            anchors.centerIn: parent
            spacing: Theme.emptyBodySpacing

            Image {
                visible: screen.empty
                anchors.horizontalCenter: parent.horizontalCenter
                sourceSize.width: Theme.title2Size * 1.3
                sourceSize.height: Theme.title2Size * 1.3
                source: Theme.symbol("doc.on.clipboard", Theme.secondaryText)
                Accessible.ignored: true
            }
            Text {
                objectName: "emptyText"
                anchors.horizontalCenter: parent.horizontalCenter
                width: Math.min(implicitWidth, emptyBody.width - 2 * Theme.rowSideInset)
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
                text: {
                    if (!screen.empty)
                        return filter.searching ? qsTr("Searching…")
                                                : qsTr("Nothing matches “%1”").arg(filter.query)
                    return screen.monitor.watchesClipboard
                            ? qsTr("Copy something to get started")
                            : qsTr("This desktop does not let applications watch the clipboard")
                }
                color: Theme.secondaryText
                font.pixelSize: Theme.calloutSize
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                // Hidden, it is not read either.
                Accessible.ignored: !screen.empty
            }

            // What the desktop lets us see, said while there is nothing to show.
            Text {
                objectName: "emptyNote"
                visible: screen.empty && text !== ""
                anchors.horizontalCenter: parent.horizontalCenter
                width: emptyBody.width - 2 * Theme.rowSideInset
                horizontalAlignment: Text.AlignHCenter
                wrapMode: Text.Wrap
                text: !screen.monitor.watchesClipboard
                      ? qsTr("Nothing you copy can reach the history.")
                      : screen.monitor.watchesThroughX11Compatibility
                        ? qsTr("Copies are seen through the desktop's X11 compatibility layer "
                               + "(XWayland).")
                        : ""
                color: Theme.secondaryText
                font.pixelSize: Theme.captionSize
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
