import QtQuick

// The chevron under a long text: points down while collapsed, up while expanded. Named for
// what pressing it does, for assistive technology.
Item {
    id: toggle

    property bool expanded: false

    signal toggled()

    implicitWidth: Theme.toggleWidth
    implicitHeight: Theme.toggleHeight

    Accessible.role: Accessible.Button
    Accessible.name: expanded ? qsTr("Collapse") : qsTr("Expand")
    Accessible.onPressAction: toggle.toggled()
    Accessible.ignored: !visible

    // Two short bars meeting at the bottom: a downward chevron, turned over when expanded.
    Item {
        id: chevron
        anchors.centerIn: parent
        width: 10
        height: 6
        rotation: toggle.expanded ? 180 : 0
        Behavior on rotation {
            Spring { response: Theme.expandResponse }
        }

        Repeater {
            model: [45, -45]
            Rectangle {
                required property int modelData
                x: modelData > 0 ? -0.5 : 4.5
                y: 1.7
                width: 6
                height: 1.6
                radius: 0.8
                antialiasing: true
                rotation: modelData
                color: Theme.secondaryText
            }
        }
    }

    TapHandler {
        onTapped: toggle.toggled()
    }
}
