import QtQuick
import QtTest
import Tessary
import Tessary.Test

TestCase {
    id: testCase
    name: "SettingsScreen"
    when: windowShown
    visible: true
    width: 320
    height: 400

    Component {
        id: screenComponent
        SettingsScreen {
            width: 320
        }
    }

    SignalSpy {
        id: backSpy
        signalName: "back"
    }

    function init() {
        Autostart.reset()
    }

    function makeScreen() {
        const screen = createTemporaryObject(screenComponent, testCase)
        verify(screen)
        backSpy.target = screen
        backSpy.clear()
        return screen
    }

    function switchOf(screen) {
        return findChild(screen, "openOnLaunch")
    }

    function test_switchShowsTheStatus_data() {
        return [
            { tag: "registered", state: "enabled", on: true },
            { tag: "system-wide entry", state: "system", on: true },
            { tag: "not registered", state: "none", on: false },
            { tag: "hidden", state: "hidden", on: false },
            { tag: "disabled in GNOME", state: "gnome-disabled", on: false },
            { tag: "someone else's entry", state: "foreign", on: false },
        ]
    }

    function test_switchShowsTheStatus(data) {
        verify(Autostart.arrange(data.state))
        const before = Autostart.entryIdentity()
        const screen = makeScreen()
        compare(switchOf(screen).checked, data.on)
        // Showing the screen only reads.
        compare(Autostart.entryIdentity(), before)
        compare(Autostart.logLines(), 0)
    }

    function test_flippingRegistersAndUnregisters() {
        const toggle = switchOf(makeScreen())
        mouseClick(toggle)
        compare(toggle.checked, true)
        verify(Autostart.registered())
        mouseClick(toggle)
        compare(toggle.checked, false)
        verify(!Autostart.registered())
        compare(Autostart.logLines(), 0)
    }

    function test_failedChangePutsTheSwitchBackAndLogsOnce() {
        verify(Autostart.blockAutostartFolder())
        const toggle = switchOf(makeScreen())
        mouseClick(toggle)
        compare(toggle.checked, false)
        verify(!Autostart.registered())
        compare(Autostart.logLines(), 1)

        // Off fails too when a system-wide entry can't be overridden.
        verify(Autostart.arrange("system"))
        const other = switchOf(makeScreen())
        compare(other.checked, true)
        mouseClick(other)
        compare(other.checked, true)
        compare(Autostart.logLines(), 2)
    }

    // An assistive technology's toggle moves `checked` without `toggled`; it must still register.
    function test_assistiveToggleRegisters() {
        const toggle = switchOf(makeScreen())
        compare(Autostart.accessibleName(toggle), "Open on launch")
        verify(Autostart.toggleAction(toggle))
        compare(toggle.checked, true)
        verify(Autostart.registered())
        verify(Autostart.toggleAction(toggle))
        verify(!Autostart.registered())
    }

    function test_statusIsReadAgainWhenShown() {
        const screen = makeScreen()
        const toggle = switchOf(screen)
        compare(toggle.checked, false)
        screen.visible = false
        verify(Autostart.arrange("enabled"))
        const entry = Autostart.entryIdentity()
        screen.visible = true
        compare(toggle.checked, true)
        compare(Autostart.entryIdentity(), entry)

        screen.visible = false
        verify(Autostart.arrange("none"))
        screen.visible = true
        compare(toggle.checked, false)
        verify(!Autostart.registered())
    }

    function test_wholeHeaderRowGoesBack() {
        const screen = makeScreen()
        const row = findChild(screen, "backRow")
        mouseClick(row, row.width - 4, row.height / 2)
        compare(backSpy.count, 1)
        mouseClick(row, 2, 2)
        compare(backSpy.count, 2)
        verify(Autostart.pressAction(row))
        compare(backSpy.count, 3)
        compare(Autostart.accessibleName(row), "Settings")
    }

    function test_layout() {
        const screen = makeScreen()
        compare(screen.height, 180)
        const row = findChild(screen, "backRow")
        const toggle = switchOf(screen)
        compare(row.y, 0)
        compare(row.width, screen.width)
        // A one-pixel divider separates the header from the switch row.
        compare(toggle.y, row.height + 1)
        compare(toggle.width, screen.width)
        compare([toggle.leftPadding, toggle.rightPadding, toggle.topPadding, toggle.bottomPadding],
                [12, 12, 10, 10])
        // The switch sits at the trailing edge, the label at the leading one.
        compare(toggle.indicator.x + toggle.indicator.width, screen.width - 12)
        compare(toggle.contentItem.x, 12)
        // Chevron, 4 apart, then the title, after the 12 side padding.
        const title = findChild(row, "title")
        compare(row.mapFromItem(title, 0, 0).x, 12 + 7 + 4)
        compare(title.font.pixelSize, 13)
        compare(title.font.weight, Font.Medium)
        compare(row.height, title.height + 20)
    }
}
