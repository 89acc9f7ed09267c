import QtQuick
import QtTest
import Tessary
import Tessary.Native

Item {
    id: root
    width: 400
    height: 700

    Component {
        id: cardComponent
        ClipboardCard {
            width: 320
        }
    }

    Component {
        id: spyComponent
        SignalSpy {}
    }

    // One spy for the singleton, which outlives every card.
    SignalSpy {
        id: drags
        target: CardSupport
        signalName: "dragStarted"
    }

    // Renders markup: the control showing that the probe provider sees loads when they happen.
    Component {
        id: richText
        Text {
            textFormat: Text.RichText
        }
    }

    TestCase {
        name: "ClipboardCard"
        when: windowShown

        function makeCard(name, extra) {
            const card = createTemporaryObject(cardComponent, root,
                                               Object.assign(fixture.entry(name), extra || {}))
            verify(card, "card for " + name)
            return card
        }

        function spy(target, signalName) {
            return createTemporaryObject(spyComponent, root,
                                         { target: target, signalName: signalName })
        }

        function child(card, name) {
            const item = findChild(card, name)
            verify(item, name)
            return item
        }

        function tile(card) {
            return child(card, "copyButton").parent.parent
        }

        function test_textCardShowsCopyAloneWhenHighlighted() {
            const card = makeCard("text")
            const copy = child(card, "copyButton")
            const preview = child(card, "previewButton")
            compare(copy.shown, false)
            card.highlighted = true
            compare(copy.shown, true)
            compare(preview.visible, false)

            const copied = spy(card, "copyRequested")
            mouseClick(copy)
            compare(copied.count, 1)
        }

        function test_imageAndFilesCardsShowPreviewThenCopyInTheCorner_data() {
            return [{ tag: "image", entry: "wide" }, { tag: "files", entry: "files" }]
        }

        function test_imageAndFilesCardsShowPreviewThenCopyInTheCorner(data) {
            const card = makeCard(data.entry, { highlighted: true })
            const copy = child(card, "copyButton")
            const preview = child(card, "previewButton")
            verify(preview.visible && preview.shown && copy.shown)
            const t = tile(card)
            const copyBox = copy.mapToItem(t, 0, 0, copy.width, copy.height)
            const previewBox = preview.mapToItem(t, 0, 0, preview.width, preview.height)
            compare(copyBox.x + copyBox.width, t.width - 8)
            compare(copyBox.y + copyBox.height, t.height - 8)
            compare(previewBox.x + previewBox.width, copyBox.x - 8)

            const copied = spy(card, "copyRequested")
            const previewed = spy(card, "previewRequested")
            mouseClick(preview)
            compare(previewed.count, 1)
            compare(copied.count, 0)
            mouseClick(copy)
            compare(copied.count, 1)
            compare(previewed.count, 1)
        }

        function test_hiddenButtonsTakeNoClicks() {
            const card = makeCard("wide")
            const copied = spy(card, "copyRequested")
            const previewed = spy(card, "previewRequested")
            mouseClick(child(card, "copyButton"))
            mouseClick(child(card, "previewButton"))
            compare(copied.count + previewed.count, 0)
        }

        function test_pointerOverTileOrTimestampIsOverTheCard() {
            const card = makeCard("text")
            const hovers = spy(card, "hoverChanged")
            mouseMove(card, 20, 10)
            tryCompare(hovers, "count", 1)
            compare(hovers.signalArguments[0][0], true)
            // The timestamp line under the tile still counts as the card.
            mouseMove(card, 20, card.height - 3)
            compare(hovers.count, 1)
            mouseMove(root, root.width - 5, root.height - 5)
            tryCompare(hovers, "count", 2)
            compare(hovers.signalArguments[1][0], false)
        }

        function test_highlightDrawsTheAccentBorder() {
            const card = makeCard("text")
            const border = child(card, "tileBorder")
            compare(border.border.width, 2)
            compare(Qt.colorEqual(border.border.color, "transparent"), true)
            card.highlighted = true
            compare(Qt.colorEqual(border.border.color, card.style.accent), true)
        }

        function test_shortTextHasNoToggle() {
            const card = makeCard("text")
            compare(card.expandable, false)
            compare(child(card, "expandToggle").visible, false)
        }

        function test_longTextExpandsWithTheSpringAndBack() {
            const card = makeCard("long")
            const toggle = child(card, "expandToggle")
            const text = child(card, "entryText")
            const t = tile(card)
            verify(toggle.visible)
            compare(text.lineCount, 4)
            verify(t.height <= 200)
            const collapsed = t.height
            compare(toggle.Accessible.name, "Expand")

            mouseClick(toggle)
            compare(card.expanded, true)
            compare(toggle.Accessible.name, "Collapse")
            verify(text.lineCount > 4)
            // Springs from the collapsed height, then settles within the cap.
            verify(t.height < 300)
            tryVerify(() => t.height > 300, 1000)
            wait(400)
            const expanded = t.height
            verify(expanded > 300 && expanded <= 380)
            // The text gives way to the toggle, which stays inside the tile.
            const box = toggle.mapToItem(t, 0, 0, toggle.width, toggle.height)
            verify(box.y + box.height <= expanded - 10)

            // A card made again for the same entry (scrolled away and back) is still expanded.
            const again = makeCard("long", { visible: false })
            compare(again.expanded, true)

            mouseClick(toggle)
            compare(card.expanded, false)
            compare(again.expanded, false)
            compare(text.lineCount, 4)
            tryCompare(t, "height", collapsed, 1000)
        }

        function test_imageFitsTheTileWidthUpTo200_data() {
            return [
                { tag: "wide png", entry: "wide", height: 80 },
                { tag: "tall tiff", entry: "tall", height: 200 },
            ]
        }

        function test_imageFitsTheTileWidthUpTo200(data) {
            const card = makeCard(data.entry)
            const image = child(card, "entryImage")
            tryCompare(image, "status", Image.Ready)
            compare(tile(card).height, data.height)
            compare(image.visible, true)
            compare(child(card, "photoPlaceholder").visible, false)
            // Decoded at the drawn size, not the picture's own.
            compare(image.sourceSize.width, 320)
            compare(image.sourceSize.height, data.height)
            verify(image.paintedWidth <= 320 && image.paintedHeight <= data.height)
        }

        function test_undecodableImageShowsThePhotoPlaceholder_data() {
            return [{ tag: "not an image", entry: "garbage" },
                    { tag: "truncated", entry: "truncated" }]
        }

        function test_undecodableImageShowsThePhotoPlaceholder(data) {
            const card = makeCard(data.entry)
            const placeholder = child(card, "photoPlaceholder")
            tryCompare(placeholder, "visible", true)
            compare(child(card, "entryImage").visible, false)
            verify(tile(card).height <= 200)
        }

        function test_filesTileShowsTheFirstFileAt140() {
            const card = makeCard("files")
            const thumbnail = child(card, "fileThumbnail")
            compare(tile(card).height, 140)
            compare(thumbnail.visible, true)
            compare(thumbnail.url, card.urls[0])
            compare(thumbnail.targetWidth, 296)
            compare(thumbnail.targetHeight, 140)
            compare(thumbnail.width, 320 - 16)
            compare(thumbnail.height, 140 - 16)
        }

        function test_emptyFilesShowTheDocPlaceholder() {
            const card = makeCard("nofiles")
            compare(tile(card).height, 140)
            compare(child(card, "docPlaceholder").visible, true)
            compare(child(card, "fileThumbnail").visible, false)
        }

        function test_markupInATextIsShownNotInterpreted() {
            const card = makeCard("markup")
            const text = child(card, "entryText")
            compare(text.text, "<b>bold</b><img src=\"image://probe/x\">")
            compare(text.textFormat, Text.PlainText)
            waitForRendering(card)
            wait(50)
            compare(fixture.probeRequests, 0)

            // The same string as rich text would have loaded it.
            createTemporaryObject(richText, root, { text: text.text })
            tryVerify(() => fixture.probeRequests > 0)
        }

        function test_timestampIsTheRelativePhraseAndFollowsTheClock() {
            const card = makeCard("text")
            const line = child(card, "timestampLine")
            verify(card.timestamp.length > 0)
            compare(card.timestamp, CardSupport.relativeTime(card.capturedAt, CardSupport.now))
            // The card's entry is three minutes old.
            verify(card.timestamp.indexOf("3") >= 0)
            const other = new Date(CardSupport.now.getTime() - 2 * 3600 * 1000)
            card.capturedAt = other
            compare(line.text, CardSupport.relativeTime(other, CardSupport.now))

            // The same card's phrase moves on with the clock ("59 seconds ago", "1 minute ago").
            card.capturedAt = new Date(Date.now() - 59400)
            CardSupport.refreshNow()
            const before = line.text
            wait(800)
            CardSupport.refreshNow()
            verify(line.text !== before, before)
            compare(line.text, CardSupport.relativeTime(card.capturedAt, CardSupport.now))
        }
    
        function test_draggingTheTileDragsTheEntry_data() {
            return [
                { tag: "text", entry: "text", formats: ["text/plain"] },
                { tag: "image", entry: "wide", formats: ["image/png", "application/x-qt-image"] },
                { tag: "tiff", entry: "tall", formats: ["image/tiff", "application/x-qt-image"] },
                { tag: "undecodable", entry: "garbage", formats: [] },
                { tag: "files", entry: "files", formats: ["text/uri-list"] },
                { tag: "no files", entry: "nofiles", formats: [] },
            ]
        }

        function test_draggingTheTileDragsTheEntry(data) {
            const card = makeCard(data.entry)
            drags.clear()
            const copied = spy(card, "copyRequested")
            mouseDrag(tile(card), 40, 20, 60, 40)
            tryCompare(drags, "count", 1)
            compare(drags.signalArguments[0][0], card.entryId)
            compare(drags.signalArguments[0][1], data.formats)
            compare(copied.count, 0)
            // The card still answers afterwards.
            card.highlighted = true
            mouseClick(child(card, "copyButton"))
            compare(copied.count, 1)
        }

        function test_noDragFromTheCutOffCorner() {
            const card = makeCard("wide")
            drags.clear()
            mouseDrag(tile(card), 1, 1, 60, 40)
            wait(50)
            compare(drags.count, 0)
        }
    }
}
