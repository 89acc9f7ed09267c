import QtQuick
import QtTest
import Tessary

// The panel root and its main screen over the fixture's history.
Item {
    id: scene
    width: 400
    height: 700

TestCase {
    id: testCase
    name: "Panel"
    when: windowShown

    property var passedOn: []

    Component {
        id: panelComponent
        // Keys the panel does not take reach this parent.
        Item {
            property alias panel: panel
            width: 320
            height: panel.height
            Keys.onPressed: (event) => testCase.passedOn.push(event.key)
            Panel {
                id: panel
                monitor: fixture.monitor
                previewer: fixture.previewer
                height: implicitHeight
            }
        }
    }

    SignalSpy { id: closeSpy; signalName: "closeRequested" }
    SignalSpy { id: quitSpy; signalName: "quitRequested" }

    function init() {
        fixture.clear()
        fixture.previewer.clear()
        passedOn = []
        closeSpy.clear()
        quitSpy.clear()
    }

    function makePanel() {
        const holder = createTemporaryObject(panelComponent, scene)
        verify(holder)
        closeSpy.target = holder.panel
        quitSpy.target = holder.panel
        holder.panel.current.forceActiveFocus()
        return holder.panel
    }

    function settle(panel) {
        // Only the screen on show is left once the slide is over.
        tryVerify(() => screensOf(panel).length === 1)
        tryCompare(panel.current, "x", 0)
    }

    function screensOf(panel) {
        const screens = []
        for (let i = 0; i < panel.children.length; ++i) {
            const child = panel.children[i]
            if (child.objectName === "main" || child.objectName === "settings")
                screens.push(child)
        }
        return screens
    }

    function cardAt(screen, row) {
        const slot = screen.list.itemAtIndex(row)
        verify(slot, "row " + row + " is built")
        return slot.card
    }

    function test_emptyLayoutThenList() {
        const panel = makePanel()
        const screen = panel.current
        compare(panel.width, 320)
        verify(screen.empty)
        verify(findChild(screen, "emptyState").visible)
        verify(!screen.list.visible)
        const empty = findChild(screen, "emptyState")
        verify(empty.height >= 140)
        compare(panel.implicitHeight, empty.y + empty.height
                + findChild(screen, "settingsRow").parent.parent.height)

        // A capture while the panel is open replaces the invitation by the list.
        fixture.addText("first")
        verify(!screen.empty)
        verify(!findChild(screen, "emptyState").visible)
        verify(screen.list.visible)
        tryVerify(() => screen.list.itemAtIndex(0) !== null)
        const card = cardAt(screen, 0)
        // One entry: the list is as tall as the card with its insets, and the card is inset
        // 12 on both sides.
        compare(panel.implicitHeight, 38 + card.height + 68)
        compare(card.width, 296)
        compare(card.mapToItem(panel, 0, 0).x, 12)
    }

    function test_listStopsGrowingAt540() {
        fixture.addTexts(30)
        const panel = makePanel()
        compare(panel.current.list.height, 540)
        compare(panel.implicitHeight, 540)
        compare(panel.current.list.count, 30)
        // Lazily built: far fewer cards exist than entries.
        verify(panel.current.list.itemAtIndex(29) === null)
    }

    function test_edgeFadesFollowTheScroll() {
        fixture.addTexts(30)
        const panel = makePanel()
        const screen = panel.current
        const list = screen.list
        tryVerify(() => screen.rules.hasContentBelow)
        verify(!screen.rules.hasContentAbove)
        const top = list.originY - list.topMargin
        list.contentY = top + 2
        verify(!screen.rules.hasContentAbove)
        list.contentY = top + 3
        verify(screen.rules.hasContentAbove)
        // The header's long fade comes in on the spring, not at once.
        verify(screen.headerSoftness < 1)
        tryCompare(screen, "headerSoftness", 1)
        // Scrolled to within 2 of the end: the footer's steep fade.
        tryVerify(() => {
            list.contentY = list.originY + list.contentHeight + list.bottomMargin - list.height - 2
            return !screen.rules.hasContentBelow
        })
        list.contentY -= 1.5
        verify(screen.rules.hasContentBelow)
    }

    function test_shortListShowsBothSteepFades() {
        fixture.addTexts(2)
        const panel = makePanel()
        wait(50)
        verify(!panel.current.rules.hasContentAbove)
        verify(!panel.current.rules.hasContentBelow)
        compare(panel.current.headerSoftness, 0)
        compare(panel.current.footerSoftness, 0)
    }

    function test_switchToSettingsAndBackBuildsAFreshMainScreen() {
        fixture.addTexts(30)
        const panel = makePanel()
        const first = panel.current
        first.list.contentY = 300
        first.rules.setPointerOver(fixture.monitor.history.count > 0 ? cardAt(first, 8).entryId : "", true)
        verify(first.rules.hoveredId !== "")

        panel.openSettings()
        compare(panel.screen, "settings")
        // Both screens are on show during the slide, the panel keeps its width.
        const moving = screensOf(panel)
        compare(moving.length, 2)
        compare(panel.width, 320)
        verify(panel.current.x > 0)
        settle(panel)
        compare(panel.implicitHeight, panel.current.implicitHeight)

        panel.current.back()
        compare(panel.screen, "main")
        verify(panel.current.x < 0) // comes in from the leading edge
        settle(panel)
        const second = panel.current
        verify(second !== first)
        compare(second.rules.hoveredId, "")
        compare(second.list.contentY, second.list.originY - second.list.topMargin)
        verify(!second.rules.hasContentAbove)
        verify(second.activeFocus)
        // Entries captured meanwhile are there.
        fixture.addText("while away")
        compare(second.list.count, 31)
    }

    function test_settingsRowOpensSettingsAcrossItsWidth() {
        const panel = makePanel()
        const row = findChild(panel.current, "settingsRow")
        // Between the text and the chevron.
        mouseClick(row, row.width * 0.6, row.height / 2)
        compare(panel.screen, "settings")
    }

    function test_quitRow() {
        fixture.addTexts(3)
        const panel = makePanel()
        const row = findChild(panel.current, "quitRow")
        mouseClick(row)
        compare(quitSpy.count, 1)
    }

    function test_hoverThroughTheHeaderBand() {
        fixture.addTexts(3)
        const panel = makePanel()
        const screen = panel.current
        tryVerify(() => screen.list.itemAtIndex(0) !== null)
        const card = cardAt(screen, 0)
        // In the header's transparent strip, above the top of the first card.
        const y = 38 + 5
        verify(y < findChild(screen, "settingsRow").mapToItem(panel, 0, 0).y)
        mouseMove(panel, 150, y)
        tryCompare(screen.rules, "hoveredId", card.entryId)
        verify(card.highlighted)
        mouseMove(panel, 150, 2000)
        mouseMove(scene, 390, 690)
        tryCompare(screen.rules, "hoveredId", "")
    }

    function test_spaceWithoutHoverIsPassedOn() {
        fixture.addTexts(3)
        const panel = makePanel()
        keyClick(Qt.Key_Space)
        compare(fixture.previewer.rows.length, 0)
        compare(passedOn, [Qt.Key_Space])
    }

    function test_spacePreviewsTheHoveredEntry() {
        fixture.addTexts(3)
        const panel = makePanel()
        const screen = panel.current
        screen.rules.setPointerOver(cardAt(screen, 1).entryId, true)
        keyClick(Qt.Key_Space)
        compare(fixture.previewer.rows, [1])
        compare(passedOn, [])
    }

    function test_spaceWithAStaleHoveredIdIsPassedOn() {
        const id = fixture.addText("copied twice")
        fixture.addText("other")
        const panel = makePanel()
        const screen = panel.current
        screen.rules.setPointerOver(id, true)
        // The same text copied again: its entry leaves, a new one stands at the top.
        fixture.removeRow(1)
        fixture.addText("copied twice")
        keyClick(Qt.Key_Space)
        compare(fixture.previewer.rows.length, 0)
        compare(passedOn, [Qt.Key_Space])
        compare(screen.rules.hoveredId, id) // kept until the pointer moves
    }

    function test_keyboardMovesCopiesAndCloses() {
        fixture.addTexts(4)
        const panel = makePanel()
        const screen = panel.current
        verify(screen.activeFocus)
        keyClick(Qt.Key_Down)
        compare(screen.rules.hoveredRow(), 0)
        keyClick(Qt.Key_Down)
        keyClick(Qt.Key_Down)
        compare(screen.rules.hoveredRow(), 2)
        verify(cardAt(screen, 2).highlighted)
        keyClick(Qt.Key_Up)
        compare(screen.rules.hoveredRow(), 1)
        const writes = fixture.writes
        keyClick(Qt.Key_Return)
        compare(fixture.writes, writes + 1)
        compare(screen.list.count, 4) // a copy back adds nothing
        keyClick(Qt.Key_Space)
        compare(fixture.previewer.rows, [1])
        compare(passedOn, [])
        keyClick(Qt.Key_Escape)
        compare(closeSpy.count, 1)
    }

    function test_keyboardDownScrollsTheMarkIntoView() {
        fixture.addTexts(30)
        const panel = makePanel()
        const screen = panel.current
        for (let i = 0; i < 20; ++i)
            keyClick(Qt.Key_Down)
        compare(screen.rules.hoveredRow(), 19)
        const card = cardAt(screen, 19)
        // Clear of both bands.
        const top = card.mapToItem(screen.list, 0, 0).y
        verify(top >= 60, top)
        verify(top + card.height <= screen.list.height - 88, top + card.height)
    }
}
}
