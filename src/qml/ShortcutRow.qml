import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
import Tessary

// The settings row of the global shortcut: the keys that open the history from anywhere and a
// way to change them (recording new keys where we grab them, the desktop's dialog where the
// portal has one), or how to bind a key in the compositor where neither is possible. Why the
// shortcut does not work, when it does not, is said under it.
FocusScope {
    id: row

    required property GlobalShortcut shortcut

    readonly property bool byCompositor: shortcut.method === GlobalShortcut.Compositor

    implicitWidth: Theme.panelWidth
    implicitHeight: column.implicitHeight + 2 * Theme.titleVerticalInset

    // While recording, every key is the new shortcut's, Escape included (it cancels).
    Keys.onPressed: (event) => {
        if (!row.shortcut.recording)
            return
        event.accepted = true
        if (event.key === Qt.Key_Escape)
            row.shortcut.cancelRecording()
        else
            row.shortcut.record(event.key, event.modifiers)
    }
    onActiveFocusChanged: if (!activeFocus) shortcut.cancelRecording()

    ColumnLayout {
        id: column
        x: Theme.rowSideInset
        y: Theme.titleVerticalInset
        width: parent.width - 2 * Theme.rowSideInset
        spacing: Theme.textSpacing

        RowLayout {
            Layout.fillWidth: true
            spacing: 8

            Label {
                Layout.fillWidth: true
                text: qsTr("Open from anywhere")
                color: Theme.primaryText
                elide: Text.ElideRight
                Accessible.ignored: true
            }

            Button {
                id: keys
                objectName: "shortcutKeys"
                visible: !row.byCompositor && row.shortcut.method !== GlobalShortcut.Undecided
                enabled: row.shortcut.recordable || row.shortcut.configurable
                flat: true
                text: row.shortcut.recording ? qsTr("Press the new keys…")
                                             : (row.shortcut.keys || qsTr("None"))
                Accessible.name: qsTr("Shortcut: %1").arg(text)
                Accessible.description: row.shortcut.recordable
                                        ? qsTr("Press to record other keys")
                                        : qsTr("Opens the desktop's shortcut settings")
                onClicked: {
                    if (row.shortcut.recordable) {
                        row.forceActiveFocus()
                        row.shortcut.startRecording()
                    } else {
                        row.shortcut.configure()
                    }
                }
            }
        }

        Label {
            objectName: "shortcutHint"
            Layout.fillWidth: true
            visible: text !== ""
            wrapMode: Text.Wrap
            color: Theme.secondaryText
            font.pixelSize: Theme.calloutSize
            text: {
                if (row.byCompositor)
                    return qsTr("This desktop does not let applications have global shortcuts. "
                                + "Bind a key to the command “tessary” in its settings: "
                                + "running it again opens the history.")
                if (row.shortcut.method === GlobalShortcut.Portal && !row.shortcut.configurable
                        && row.shortcut.problem === "")
                    return qsTr("Change it in the desktop's keyboard settings.")
                return ""
            }
        }

        Label {
            objectName: "shortcutProblem"
            Layout.fillWidth: true
            visible: text !== ""
            wrapMode: Text.Wrap
            color: Theme.warningText
            font.pixelSize: Theme.calloutSize
            text: row.shortcut.problem === "" ? ""
                                              : qsTr("The shortcut does not work: %1")
                                                .arg(row.shortcut.problem)
        }
    }
}
