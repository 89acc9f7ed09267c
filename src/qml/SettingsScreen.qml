import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessary

// The panel's second screen: a header that leads back, and the "Open on launch" switch. The panel
// gives the width; the screen is at least 180 high, with its rows at the top.
FocusScope {
    id: root

    required property GlobalShortcut shortcut

    signal back()

    // The login item's state, read when the screen appears; the switch writes through it.
    required property LaunchAtLogin launchAtLogin

    implicitWidth: Theme.panelWidth
    implicitHeight: Math.max(Theme.settingsMinimumHeight, rows.implicitHeight)

    function goBack() {
        root.back()
    }

    function refresh() {
        launchAtLogin.refresh()
    }

    // Runs for every change of the switch, however it came (pointer, keyboard, or an assistive
    // technology's toggle action, which moves `checked` without emitting `toggled`). A change that
    // merely follows the model does nothing. After a request the switch follows the model again:
    // the wanted state while the answer is awaited, then the state, so a failed one puts it back.
    function switchMoved(wanted: bool) {
        if (wanted === launchAtLogin.checked)
            return
        launchAtLogin.request(wanted)
        openOnLaunch.checked = Qt.binding(() => root.launchAtLogin.checked)
    }

    Component.onCompleted: refresh()
    onVisibleChanged: if (visible) refresh()

    Connections {
        target: root.Window.window
        ignoreUnknownSignals: true
        function onVisibleChanged() {
            if (root.Window.window.visible && root.visible)
                root.refresh()
        }
    }

    ColumnLayout {
        id: rows
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.top: parent.top
        spacing: 0

        // The whole row is the back control, empty part included.
        Item {
            id: header
            objectName: "backRow"
            Layout.fillWidth: true
            implicitHeight: headerRow.implicitHeight + 2 * Theme.titleVerticalInset
            activeFocusOnTab: true

            Accessible.role: Accessible.Button
            Accessible.name: title.text
            Accessible.description: qsTr("Back to the clipboard history")
            Accessible.focusable: true
            Accessible.onPressAction: root.goBack()
            Keys.onSpacePressed: root.goBack()
            Keys.onReturnPressed: root.goBack()
            Keys.onEnterPressed: root.goBack()

            MouseArea {
                anchors.fill: parent
                onClicked: root.goBack()
            }

            Rectangle {
                anchors.fill: parent
                anchors.margins: 2
                visible: header.activeFocus
                color: "transparent"
                border.color: Theme.accent
                radius: 4
            }

            RowLayout {
                id: headerRow
                anchors.fill: parent
                anchors.leftMargin: Theme.rowSideInset
                anchors.rightMargin: Theme.rowSideInset
                anchors.topMargin: Theme.titleVerticalInset
                anchors.bottomMargin: Theme.titleVerticalInset
                spacing: Theme.settingsHeaderSpacing

                Canvas {
                    id: chevron
                    implicitWidth: Theme.backChevronSize.width
                    implicitHeight: Theme.backChevronSize.height
                    Layout.alignment: Qt.AlignVCenter
                    Accessible.ignored: true
                    property color stroke: Theme.primaryText
                    onStrokeChanged: requestPaint()
                    onPaint: {
                        const ctx = getContext("2d")
                        ctx.reset()
                        ctx.strokeStyle = stroke
                        ctx.lineWidth = 1.8
                        ctx.lineCap = "round"
                        ctx.lineJoin = "round"
                        ctx.beginPath()
                        ctx.moveTo(width - 1.5, 1.5)
                        ctx.lineTo(1.5, height / 2)
                        ctx.lineTo(width - 1.5, height - 1.5)
                        ctx.stroke()
                    }
                }

                Label {
                    id: title
                    objectName: "title"
                    text: qsTr("Settings")
                    font.pixelSize: Theme.titleSize
                    font.weight: Font.Medium
                    color: Theme.primaryText
                    Layout.alignment: Qt.AlignVCenter
                    Accessible.ignored: true
                }

                Item {
                    Layout.fillWidth: true
                }
            }
        }

        Rectangle {
            Layout.fillWidth: true
            implicitHeight: 1
            color: Theme.separator
        }

        Switch {
            id: openOnLaunch
            objectName: "openOnLaunch"
            Layout.fillWidth: true
            leftPadding: Theme.rowSideInset
            rightPadding: Theme.rowSideInset
            topPadding: Theme.titleVerticalInset
            bottomPadding: Theme.titleVerticalInset
            spacing: 8
            text: qsTr("Open on launch")
            enabled: !root.launchAtLogin.busy
            checked: root.launchAtLogin.checked
            onCheckedChanged: root.switchMoved(checked)

            Accessible.name: text

            // A small switch at the trailing edge, the label taking the rest of the row.
            indicator: Rectangle {
                implicitWidth: Theme.switchTrackSize.width
                implicitHeight: Theme.switchTrackSize.height
                x: openOnLaunch.mirrored ? openOnLaunch.leftPadding
                                         : openOnLaunch.width - width - openOnLaunch.rightPadding
                y: openOnLaunch.topPadding + (openOnLaunch.availableHeight - height) / 2
                radius: height / 2
                color: openOnLaunch.checked ? Theme.accent : Theme.switchTrackOff
                opacity: openOnLaunch.enabled ? 1 : 0.5

                Rectangle {
                    readonly property int inset: 2
                    width: parent.height - 2 * inset
                    height: width
                    radius: width / 2
                    y: inset
                    x: openOnLaunch.checked ? parent.width - width - inset : inset
                    color: "white"
                    Behavior on x {
                        NumberAnimation { duration: 120; easing.type: Easing.OutCubic }
                    }
                }
            }

            // While the desktop has not answered (it may be asking the user), beside the switch.
            BusyIndicator {
                objectName: "loginRequestBusy"
                running: root.launchAtLogin.busy
                visible: running
                width: Theme.switchTrackSize.height
                height: width
                x: openOnLaunch.mirrored
                   ? openOnLaunch.indicator.x + openOnLaunch.indicator.width + openOnLaunch.spacing
                   : openOnLaunch.indicator.x - width - openOnLaunch.spacing
                y: openOnLaunch.indicator.y
                Accessible.name: qsTr("Waiting for the desktop's answer")
            }

            contentItem: Label {
                text: openOnLaunch.text
                font: openOnLaunch.font
                color: Theme.primaryText
                verticalAlignment: Text.AlignVCenter
                elide: Text.ElideRight
                leftPadding: openOnLaunch.mirrored ? openOnLaunch.indicator.width + openOnLaunch.spacing : 0
                rightPadding: openOnLaunch.mirrored ? 0 : openOnLaunch.indicator.width + openOnLaunch.spacing
            }
        }

        ShortcutRow {
            Layout.fillWidth: true
            shortcut: root.shortcut
        }
    }
}
