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

    readonly property string entry: "config/autostart/org.tessary.Tessary.desktop"
    readonly property string ours: "[Desktop Entry]\nType=Application\nName=Tessary\nX-Tessary-Autostart=true\n"

    Component {
        id: screenComponent
        SettingsScreen {
            width: 320
        }
    }

    function init() {
        Autostart.reset()
    }

    function makeScreen() {
        return createTemporaryObject(screenComponent, testCase)
    }

    // The switch shows the status read when the screen appears: only "enabled" is on.
    function test_switchShowsTheStatus_data() {
        return [
            { tag: "registered", path: entry, keys: "Exec=/bin/sh\n", on: true },
            { tag: "system-wide", path: "system/autostart/org.tessary.Tessary.desktop", keys: "Exec=/bin/sh\n", on: true },
            { tag: "not registered", path: "elsewhere", keys: "", on: false },
            { tag: "hidden", path: entry, keys: "Exec=/bin/sh\nHidden=true\n", on: false },
            { tag: "off in GNOME", path: entry, keys: "Exec=/bin/sh\nX-GNOME-Autostart-enabled=false\n", on: false },
            { tag: "program gone", path: entry, keys: "Exec=/gone/tessary\n", on: false },
        ]
    }

    function test_switchShowsTheStatus(data) {
        verify(Autostart.write(data.path, ours + data.keys))
        compare(findChild(makeScreen(), "openOnLaunch").checked, data.on)
        compare(Autostart.read(data.path), ours + data.keys) // showing only reads
    }

    // An assistive technology's toggle moves `checked` without `toggled`; it must register too.
    function test_flippingRegistersAndUnregisters() {
        const toggle = findChild(makeScreen(), "openOnLaunch")
        mouseClick(toggle)
        verify(toggle.checked && Autostart.registered())
        mouseClick(toggle)
        verify(!toggle.checked && !Autostart.registered())
        Autostart.toggleAction(toggle)
        verify(toggle.checked && Autostart.registered())
    }

    function test_failedChangePutsTheSwitchBack() {
        verify(Autostart.write("config/autostart", "in the way\n"))
        const toggle = findChild(makeScreen(), "openOnLaunch")
        mouseClick(toggle)
        verify(!toggle.checked && !Autostart.registered())
    }

    function test_statusIsReadAgainWhenShown() {
        const screen = makeScreen()
        const toggle = findChild(screen, "openOnLaunch")
        screen.visible = false
        verify(Autostart.write(entry, ours + "Exec=/bin/sh\n"))
        screen.visible = true
        verify(toggle.checked)
    }
}
