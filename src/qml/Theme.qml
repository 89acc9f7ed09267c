pragma Singleton
import QtQuick

// Sizes and durations shared by every view.
QtObject {
    readonly property int panelWidth: 320
}
