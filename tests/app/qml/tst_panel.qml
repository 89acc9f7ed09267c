import QtQuick
import QtTest
import Tessary

// The panel root and its main screen over the fixture's history.
Item {
    id: scene
    width: 400
    height: 700
    // Keys the panel does not take reach its parent.
    Keys.onPressed: (event) => testCase.passedOn.push(event.key)

    TestCase {
        id: testCase
        name: "Panel"
        when: windowShown

        property var passedOn: []

        Component {
            id: panelComponent
            FixturePanel {}
        }

        function init() {
            fixture.setAccess("direct")
            fixture.clear()
            fixture.forgetPreviews()
            passedOn = []
        }

        function makePanel(entries) {
            fixture.addTexts(entries)
            const panel = createTemporaryObject(panelComponent, scene)
            panel.current.forceActiveFocus()
            return panel
        }

        function cardAt(screen, row) {
            tryVerify(() => screen.list.itemAtIndex(row) !== null, 1000, "row " + row + " built")
            return screen.list.itemAtIndex(row).card
        }

        // An empty history says what the desktop lets us see; never a silent empty list. A capture
        // while the panel is open replaces the invitation by the list.
        function test_emptyStateSaysWhatTheDesktopAllows_data() {
            return [
                { tag: "direct", text: "Copy something to get started", note: "" },
                { tag: "x11 compatibility", text: "Copy something to get started",
                  note: "X11 compatibility layer" },
                { tag: "none", text: "does not let applications watch the clipboard",
                  note: "Nothing you copy" },
            ]
        }

        function test_emptyStateSaysWhatTheDesktopAllows(data) {
            fixture.setAccess(data.tag)
            const screen = makePanel(0).current
            const empty = findChild(screen, "emptyState")
            verify(empty.visible && !screen.list.visible)
            verify(findChild(screen, "emptyText").text.indexOf(data.text) >= 0)
            const note = findChild(screen, "emptyNote")
            compare(note.visible, data.note !== "")
            verify(data.note === "" || note.text.indexOf(data.note) >= 0, note.text)
            fixture.add("first")
            verify(!empty.visible && screen.list.visible)
            cardAt(screen, 0)
        }

        function test_scrollFadesThenSettingsAndBackToAFreshMainScreen() {
            const panel = makePanel(30)
            const first = panel.current
            tryVerify(() => first.rules.hasContentBelow && !first.rules.hasContentAbove)
            first.list.contentY = first.list.originY - first.list.topMargin + 3
            // Content above: the header's long fade comes in on the spring, not at once.
            verify(first.rules.hasContentAbove && first.rules.headerSoftness < 1)
            tryCompare(first.rules, "headerSoftness", 1)
            first.list.contentY = 300
            first.rules.setPointerOver(cardAt(first, 8).entryId, true)
            // The settings row takes clicks across its width, between the text and the chevron.
            const row = findChild(first, "settingsRow")
            mouseClick(row, row.width * 0.6, row.height / 2)
            compare(panel.screen, "settings")
            const screens = () => Array.from(panel.children).filter(
                                      item => item.objectName === "main" || item.objectName === "settings")
            verify(panel.current.x > 0 && screens().length === 2) // both on show in the slide
            tryVerify(() => panel.current.x === 0 && screens().length === 1) // the other is gone
            panel.current.back()
            verify(panel.current.x < 0) // comes in from the leading edge
            tryCompare(panel.current, "x", 0)
            // A fresh main screen: unmarked, at the top, with the keys.
            const second = panel.current
            verify(second !== first && second.activeFocus)
            compare(second.rules.hoveredId, "")
            compare(second.list.contentY, second.list.originY - second.list.topMargin)
        }

        function test_hoverThroughTheHeaderBand() {
            const panel = makePanel(3)
            const card = cardAt(panel.current, 0)
            // In the header's transparent strip, above the top of the first card.
            mouseMove(panel, 150, 43)
            tryCompare(panel.current.rules, "hoveredId", card.entryId)
            verify(card.highlighted)
            const next = cardAt(panel.current, 1)
            mouseMove(next, next.width / 2, next.height / 2)
            tryCompare(panel.current.rules, "hoveredId", next.entryId)
            mouseMove(scene, 390, 690)
            tryCompare(panel.current.rules, "hoveredId", "")
        }

        // The footer's rows take the pointer: the card beneath is not hovered, and Space there
        // previews nothing.
        function test_footerRowsTakeThePointer() {
            const screen = makePanel(30).current
            const quit = findChild(screen, "quitRow")
            const under = quit.mapToItem(screen.list.contentItem, quit.width / 2, quit.height / 2)
            verify(screen.list.itemAt(under.x, under.y) !== null, "a card lies under Quit")
            const card = cardAt(screen, 0)
            mouseMove(card, card.width / 2, card.height / 2)
            tryCompare(screen.rules, "hoveredId", card.entryId)
            mouseMove(quit, quit.width / 2, quit.height / 2)
            tryCompare(screen.rules, "hoveredId", "")
            keyClick(Qt.Key_Space)
            compare(fixture.previewed().length, 0)
            compare(passedOn, [Qt.Key_Space])
        }

        function test_keyboardMovesAndPreviews() {
            const screen = makePanel(30).current
            keyClick(Qt.Key_Space) // nothing marked: passed on
            compare(passedOn, [Qt.Key_Space])
            for (let i = 0; i < 21; ++i)
                keyClick(Qt.Key_Down)
            keyClick(Qt.Key_Up)
            compare(screen.rules.hoveredRow(), 19)
            const card = cardAt(screen, 19)
            const text = card.text
            // Scrolled into view clear of both bands.
            const top = card.mapToItem(screen.list, 0, 0).y
            verify(top >= 60 && top + card.height <= screen.list.height - 88, top)
            keyClick(Qt.Key_Space)
            tryVerify(() => fixture.previewed().length === 1) // staged off the GUI thread
            compare(fixture.previewed()[0], text)
            compare(passedOn, [Qt.Key_Space])
        }

        function test_spaceWithAStaleHoveredIdIsPassedOn() {
            const id = fixture.add("copied twice")
            const screen = makePanel(1).current
            screen.rules.setPointerOver(id, true)
            // The same text copied again: its entry leaves, a new one stands at the top.
            fixture.removeRow(1)
            fixture.add("copied twice")
            keyClick(Qt.Key_Space)
            compare(fixture.previewed().length, 0)
            compare(passedOn, [Qt.Key_Space])
            compare(screen.rules.hoveredId, id) // kept until the pointer moves
        }

        SignalSpy {
            id: closeRequests
            target: fixture.host
            signalName: "closeRequested"
        }

        function typeText(text) {
            for (const c of text)
                keyClick(c)
        }

        // Typing filters; the keys then work on the matches, and Escape clears before it closes.
        function test_typeMoveCopyAndEscapeTwice() {
            for (const text of ["apple pie", "banana", "Apple tart", "cherry"])
                fixture.add(text)
            const screen = makePanel(0).current
            const title = findChild(screen, "title")
            closeRequests.clear()
            typeText("apple")
            compare(title.text, "apple")
            compare(screen.list.count, 2)
            // The newest match is marked: Down marks the next one, and Enter copies it.
            keyClick(Qt.Key_Down)
            compare(cardAt(screen, 1).text, "apple pie")
            keyClick(Qt.Key_Return)
            compare(fixture.clipboardText(), "apple pie")
            // Space is typed, not a preview, while there is a query; Backspace takes it back.
            keyClick(Qt.Key_Space)
            compare(title.text, "apple ")
            compare(fixture.previewed().length, 0)
            keyClick(Qt.Key_Backspace)
            typeText("zz")
            const empty = findChild(screen, "emptyState")
            verify(empty.visible && !screen.list.visible)
            verify(findChild(screen, "emptyText").text.indexOf("applezz") >= 0)
            // A capture that matches joins the list at once.
            fixture.add("applezz juice")
            verify(!empty.visible && screen.list.count === 1)
            keyClick(Qt.Key_Escape)
            compare(title.text, "Clipboard history")
            compare(screen.list.count, 5)
            compare(closeRequests.count, 0)
            keyClick(Qt.Key_Escape)
            compare(closeRequests.count, 1)
        }
    }
}
