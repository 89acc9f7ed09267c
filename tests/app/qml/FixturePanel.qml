import QtQuick
import Tessary

// The panel over the test's `fixture`, handed what the application hands it.
Panel {
    monitor: fixture.monitor
    previewer: fixture.previewer
    cards: fixture.cards
    thumbnails: fixture.thumbnails
    host: fixture.host
    shortcut: fixture.shortcut
    launchAtLogin: fixture.launchAtLogin
    composited: false
}
