import QtQuick
import QtTest
import Tessary

Item {
    id: root
    width: 400
    height: 700

    Component { id: cardComponent; ClipboardCard { width: 320 } }
    Component { id: spyComponent; SignalSpy {} }
    // Renders markup: shows that the probe provider sees loads when they happen.
    Component { id: richText; Text { textFormat: Text.RichText } }
    SignalSpy { id: drags; target: fixture.support; signalName: "dragStarted" }

    TestCase {
        name: "ClipboardCard"
        when: windowShown

        function makeCard(name, extra) {
            const handed = { support: fixture.support, thumbnails: fixture.thumbnails }
            const card = createTemporaryObject(cardComponent, root,
                                               Object.assign(fixture.entry(name), handed, extra || {}))
            verify(card, name)
            return card
        }

        function spy(target, signalName) {
            return createTemporaryObject(spyComponent, root, { target, signalName })
        }

        function child(card, name) {
            const item = findChild(card, name)
            verify(item, name)
            return item
        }

        function tile(card) { return child(card, "tile") }

        // Hidden buttons take no clicks, yet a screen reader can always press them; the
        // highlighted card shows them; the pointer over the timestamp line is over the card.
        function test_copyAndPreview_data() {
            return [{ tag: "text", entry: "text", previewable: false },
                    { tag: "image", entry: "wide", previewable: true },
                    { tag: "files", entry: "files", previewable: true }]
        }

        function test_copyAndPreview(data) {
            const card = makeCard(data.entry)
            const copy = child(card, "copyButton")
            const preview = child(card, "previewButton")
            const copied = spy(card, "copyRequested")
            const previewed = spy(card, "previewRequested")
            const hovers = spy(card, "hoverChanged")
            mouseClick(copy)
            mouseClick(preview)
            compare(copied.count + previewed.count, 0)

            compare(copy.Accessible.name, "Copy")
            compare(preview.Accessible.name, "Preview")
            verify(copy.visible && !copy.Accessible.ignored)
            compare(preview.visible && !preview.Accessible.ignored, data.previewable)
            copy.Accessible.pressAction()
            preview.Accessible.pressAction()
            compare(copied.count, 1)
            compare(previewed.count, data.previewable ? 1 : 0)

            mouseMove(card, 20, card.height - 3)
            tryCompare(hovers, "count", 1)
            card.highlighted = true
            mouseClick(copy)
            compare(copied.count, 2)
            if (data.previewable) {
                mouseClick(preview)
                compare(previewed.count, 2)
            }
            mouseMove(root, root.width - 5, root.height - 5)
            tryCompare(hovers, "count", 2)
        }

        function test_longTextExpandsWithTheSpringAndBack() {
            const card = makeCard("long")
            const toggle = child(card, "expandToggle")
            const text = child(card, "entryText")
            const t = tile(card)
            compare(text.lineCount, 4)
            const collapsed = t.height
            verify(collapsed <= 200)
            compare(toggle.Accessible.name, "Expand")

            mouseClick(toggle)
            compare(toggle.Accessible.name, "Collapse")
            verify(text.lineCount > 4)
            // Springs from the collapsed height, then settles within the cap.
            verify(t.height < 300)
            tryVerify(() => t.height > 300, 1000)
            wait(400)
            verify(t.height <= 380)

            // A card made again for the same entry (scrolled away and back) is still expanded.
            const again = makeCard("long", { visible: false })
            compare(again.expanded, true)
            toggle.Accessible.pressAction()
            compare(again.expanded, false)
            compare(text.lineCount, 4)
            tryCompare(t, "height", collapsed, 1000)
        }

        // Pictures fill the tile's width with their proportions kept, up to the tile's cap, where
        // they are fitted whole; upright even when shot sideways; decoded at the size drawn.
        function test_tileContent_data() {
            return [
                { tag: "wide png", entry: "wide", shown: "entryImage", ratio: 4 },
                { tag: "tall tiff", entry: "tall", shown: "entryImage", ratio: 0.25 },
                { tag: "sideways tiff", entry: "sideways", shown: "entryImage", ratio: 0.25 },
                { tag: "not an image", entry: "garbage", shown: "photoPlaceholder" },
                { tag: "truncated", entry: "truncated", shown: "photoPlaceholder" },
                { tag: "files", entry: "files", shown: "fileThumbnail" },
                { tag: "no files", entry: "nofiles", shown: "docPlaceholder" },
            ]
        }

        function test_tileContent(data) {
            const card = makeCard(data.entry)
            const shown = child(card, data.shown)
            tryCompare(shown, "visible", true)
            for (const name of ["entryImage", "photoPlaceholder", "fileThumbnail", "docPlaceholder"]) {
                if (name !== data.shown && findChild(card, name))
                    compare(findChild(card, name).visible, false, name)
            }
            if (data.shown === "entryImage") {
                tryCompare(shown, "status", Image.Ready)
                compare(shown.implicitWidth / shown.implicitHeight, data.ratio)
                compare(shown.sourceSize, Qt.size(Math.ceil(shown.width), Math.ceil(shown.height)))
                const t = tile(card)
                if (data.ratio > 1) {
                    compare(t.height, card.width / data.ratio)
                } else {
                    // Capped: shorter than the width would make it, the picture whole inside.
                    verify(t.height < card.width / data.ratio)
                    compare(shown.paintedHeight, t.height)
                    verify(shown.paintedWidth < card.width)
                }
            } else if (data.shown === "fileThumbnail") {
                compare(shown.url, card.urls[0]) // the first of the files
            }
        }

        function test_markupInATextIsShownNotInterpreted() {
            const text = child(makeCard("markup"), "entryText")
            compare(text.text, "<b>bold</b><img src=\"image://probe/x\">")
            compare(text.textFormat, Text.PlainText)
            waitForRendering(text)
            wait(50)
            compare(fixture.probeRequests(), 0)
            // The same string as rich text would have loaded it.
            createTemporaryObject(richText, root, { text: text.text })
            tryVerify(() => fixture.probeRequests() > 0)
        }

        // Line breaks of every convention break the line; the entry keeps what was copied.
        function test_everyLineBreakBreaksTheLine() {
            const card = makeCard("carriage returns")
            compare(card.text, "classic Mac\rWindows\r\nUnix\n")
            compare(child(card, "entryText").lineCount, 4)
        }

        // A drag of an entry with nothing to offer still runs, carrying nothing.
        function test_draggingTheTileDragsTheEntry() {
            for (const [entry, formats] of [["text", ["text/plain"]], ["garbage", []]]) {
                const card = makeCard(entry, { highlighted: true })
                const copied = spy(card, "copyRequested")
                drags.clear()
                mouseDrag(tile(card), 40, 20, 60, 40)
                tryCompare(drags, "count", 1)
                compare([...drags.signalArguments[0]], [card.entryId, formats])
                // No click came of it, and the card still answers afterwards.
                mouseClick(child(card, "copyButton"))
                compare(copied.count, 1)
            }
        }
    }
}
