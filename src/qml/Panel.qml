import QtQuick

// The panel's root: one of two screens, 320 wide and as tall as the screen on show. A switch
// slides the outgoing screen out past one edge and the incoming one in from the other, both
// fading, on one spring. A screen that leaves is destroyed; coming back builds a new one.
Rectangle {
    id: panel

    required property var monitor
    property var previewer: null

    // "main" or "settings"
    readonly property string screen: current ? current.objectName : ""
    property Item current: null

    signal closeRequested()
    signal quitRequested()

    width: Theme.panelWidth
    implicitHeight: current ? current.implicitHeight : 0
    color: Theme.background
    clip: true

    Accessible.role: Accessible.Window
    Accessible.name: qsTr("Tessary")

    Keys.onEscapePressed: panel.closeRequested()

    function openSettings() {
        switchTo(settingsScreen, 1)
    }
    function showMain() {
        switchTo(mainScreen, -1)
    }
    // direction: 1 brings the new screen in from the trailing edge, -1 from the leading edge.
    function switchTo(component, direction) {
        const outgoing = current
        const incoming = component.createObject(panel, {x: direction * width, opacity: 0})
        current = incoming
        incoming.x = 0
        incoming.opacity = 1
        incoming.forceActiveFocus()
        if (outgoing) {
            outgoing.leaving = true
            outgoing.x = -direction * width
            outgoing.opacity = 0
            outgoing.enabled = false
        }
    }

    Component.onCompleted: {
        current = mainScreen.createObject(panel)
        current.forceActiveFocus()
    }

    Component {
        id: mainScreen
        MainScreen {
            objectName: "main"
            property bool leaving: false
            monitor: panel.monitor
            previewer: panel.previewer
            onOpenSettings: panel.openSettings()
            onQuitRequested: panel.quitRequested()
            Behavior on x { Spring { response: Theme.screenSwitchResponse } }
            Behavior on opacity { Spring { response: Theme.screenSwitchResponse } }
            onOpacityChanged: if (leaving && opacity === 0) destroy()
        }
    }

    Component {
        id: settingsScreen
        SettingsScreen {
            objectName: "settings"
            property bool leaving: false
            onBack: panel.showMain()
            Behavior on x { Spring { response: Theme.screenSwitchResponse } }
            Behavior on opacity { Spring { response: Theme.screenSwitchResponse } }
            onOpacityChanged: if (leaving && opacity === 0) destroy()
        }
    }
}
