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
            launchAtLogin: Autostart.model
        }
    }

    function init() {
        Autostart.reset()
    }

    function makeScreen(shortcut) {
        return createTemporaryObject(screenComponent, testCase,
                                     {shortcut: shortcut || Shortcuts.make(false)})
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

    // Without a way for applications to have global keys, the row says how to bind one.
    function test_compositorBindingIsExplained() {
        const screen = makeScreen(Shortcuts.make(false))
        tryVerify(() => findChild(screen, "shortcutHint").visible)
        verify(findChild(screen, "shortcutHint").text.indexOf("tessary") >= 0)
        verify(!findChild(screen, "shortcutKeys").visible)
    }

    // Keys are recorded from the button; Escape cancels the recording without leaving.
    function test_recordingKeys() {
        const shortcut = Shortcuts.make(true)
        const screen = makeScreen(shortcut)
        const keys = findChild(screen, "shortcutKeys")
        tryVerify(() => keys.visible)
        const former = keys.text
        mouseClick(keys)
        verify(shortcut.recording)
        keyClick(Qt.Key_H) // would take over typing: recording goes on
        verify(shortcut.recording)
        keyClick(Qt.Key_Escape)
        verify(!shortcut.recording)
        compare(keys.text, former)
        mouseClick(keys)
        keyClick(Qt.Key_H, Qt.ControlModifier | Qt.AltModifier)
        verify(!shortcut.recording)
        // This test has no X display: the keys are not taken, and the row says why.
        compare(keys.text, former)
        const problem = findChild(screen, "shortcutProblem")
        verify(problem.visible && problem.text.indexOf("display") >= 0, problem.text)
    }
}
