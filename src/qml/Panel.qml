import QtQuick
import Tessary

// The panel's root: one of two screens, 320 wide and as tall as the screen on show. A switch
// slides the outgoing screen out past one edge and the incoming one in from the other, both
// fading, on one spring. A screen that leaves is destroyed; coming back builds a new one. The
// focus the panel is given passes on to the screen on show.
FocusScope {
    id: panel

    required property ClipboardMonitor monitor
    required property PreviewController previewer
    required property CardSupport cards
    required property FileThumbnails thumbnails
    required property PanelHost host
    required property GlobalShortcut shortcut
    required property LaunchAtLogin launchAtLogin
    // A compositor blends the window with what lies beneath: the panel is drawn with rounded
    // corners on a clear window. Without one, the window is square and framed.
    required property bool composited

    // "main" or "settings"
    readonly property string screen: current ? current.objectName : ""
    property Item current: null

    width: Theme.panelWidth
    implicitHeight: current ? current.implicitHeight : 0
    clip: true

    Accessible.role: Accessible.Window
    Accessible.name: qsTr("Tessary")

    Keys.onEscapePressed: panel.host.requestClose()

    function openSettings() {
        switchTo(settingsScreen, 1)
    }
    function showMain() {
        switchTo(mainScreen, -1)
    }
    // direction: 1 brings the new screen in from the trailing edge, -1 from the leading edge.
    // The outgoing screen is disabled at once and destroyed once it has faded out.
    function switchTo(component: Component, direction: int) {
        const outgoing = current
        const incoming = component.createObject(panel, {x: direction * width, opacity: 0})
        current = incoming
        incoming.x = 0
        incoming.opacity = 1
        incoming.forceActiveFocus()
        if (outgoing) {
            outgoing.enabled = false
            outgoing.x = -direction * width
            outgoing.opacity = 0
        }
    }

    Rectangle {
        objectName: "ground"
        anchors.fill: parent
        z: -1
        visible: panel.composited
        radius: Theme.panelRadius
        color: Theme.background
    }

    // A square panel on a light window behind it would not be told apart from that window.
    Rectangle {
        objectName: "frame"
        anchors.fill: parent
        z: 1
        visible: !panel.composited
        color: "transparent"
        border.width: 1
        border.color: Theme.frame
    }

    Component.onCompleted: {
        current = mainScreen.createObject(panel)
        current.focus = true
    }

    Connections {
        target: panel.host
        function onOpenedByKey() {
            const main = panel.current as MainScreen
            if (main)
                main.rules.markFirst()
        }
    }

    // The screens reach the panel's id; qmllint of Qt 6.4 cannot tell that a component may (what
    // later versions declare as ComponentBehavior: Bound).
    // qmllint disable unqualified
    Component {
        id: mainScreen
        MainScreen {
            objectName: "main"
            monitor: panel.monitor
            previewer: panel.previewer
            support: panel.cards
            thumbnails: panel.thumbnails
            onOpenSettings: panel.openSettings()
            onQuitRequested: panel.host.requestQuit()
            Behavior on x { Spring { response: Theme.screenSwitchResponse } }
            Behavior on opacity { Spring { response: Theme.screenSwitchResponse } }
            onOpacityChanged: if (!enabled && opacity === 0) destroy()
        }
    }

    Component {
        id: settingsScreen
        SettingsScreen {
            objectName: "settings"
            shortcut: panel.shortcut
            launchAtLogin: panel.launchAtLogin
            onBack: panel.showMain()
            Behavior on x { Spring { response: Theme.screenSwitchResponse } }
            Behavior on opacity { Spring { response: Theme.screenSwitchResponse } }
            onOpacityChanged: if (!enabled && opacity === 0) destroy()
        }
    }
    // qmllint enable unqualified
}
