import QtQuick
import QtTest
import Tessary
import "../qml"

// What a German user sees in the panel and its settings screen: German texts, none of the
// English ones, and times in German beside them.
Item {
    id: scene
    width: 400
    height: 700

    TestCase {
        name: "TranslatedPanel"
        when: windowShown

        Component {
            id: panelComponent
            FixturePanel {}
        }

        function init() {
            fixture.setAccess("direct")
            fixture.clear()
        }

        // The texts of the visible items under `item`: Text's text and the buttons' labels.
        function textsUnder(item) {
            let found = []
            if (!item.visible)
                return found
            for (const name of ["text", "label"]) {
                if (typeof item[name] === "string" && item[name] !== "")
                    found.push(item[name])
            }
            for (let i = 0; i < item.children.length; ++i)
                found = found.concat(textsUnder(item.children[i]))
            return found
        }

        function verifyShown(texts, german, english) {
            for (const text of german)
                verify(texts.indexOf(text) >= 0, "\"" + text + "\" in " + JSON.stringify(texts))
            for (const text of english)
                verify(texts.indexOf(text) < 0, "no \"" + text + "\" in " + JSON.stringify(texts))
        }

        function test_emptyMainScreen() {
            const panel = createTemporaryObject(panelComponent, scene)
            verifyShown(textsUnder(panel), ["Zwischenablage-Verlauf",
                                            "Kopieren Sie etwas, um loszulegen",
                                            "Einstellungen", "Beenden"],
                        ["Clipboard history", "Copy something to get started", "Settings",
                         "Quit"])
        }

        function test_cardsSpeakTheLanguageOfTheTexts() {
            fixture.add("Hallo")
            const panel = createTemporaryObject(panelComponent, scene)
            tryVerify(() => panel.current.list.itemAtIndex(0) !== null)
            const texts = textsUnder(panel)
            verifyShown(texts, ["Kopieren"], ["Copy"])
            const card = panel.current.list.itemAtIndex(0).card
            verify(/^vor \d+ Sekunden?$/.test(card.timestamp), card.timestamp)
            const now = new Date()
            compare(fixture.cards.relativeTime(new Date(now.getTime() - 2 * 60 * 1000), now),
                    "vor 2 Minuten")
        }

        function test_settingsScreen() {
            const panel = createTemporaryObject(panelComponent, scene)
            panel.openSettings()
            tryVerify(() => panel.screen === "settings" && panel.current.x === 0)
            verifyShown(textsUnder(panel.current), ["Einstellungen", "Beim Anmelden starten",
                                            "Von überall öffnen"],
                        ["Settings", "Open on launch", "Open from anywhere"])
        }
    }
}
