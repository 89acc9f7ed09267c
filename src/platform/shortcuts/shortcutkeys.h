#pragma once

#include <QKeySequence>
#include <QString>
#include <optional>

namespace tessary {

// A global shortcut as the desktop's key handling sees it: one key, named by its X keysym (the
// names xkbcommon uses on X11 and Wayland alike), with the modifiers held.
struct KeyChord {
    quint32 keysym = 0;
    Qt::KeyboardModifiers modifiers;

    friend bool operator==(const KeyChord &, const KeyChord &) = default;
};

// Tessary's shortcut until the user picks another: Super+Shift+V. Super+V is taken by GNOME
// (the notification list) and Plasma (the clipboard menu) and is "split vertically" in sway's
// sample configuration; with Shift it is free on GNOME, Plasma, Xfce and sway.
QKeySequence defaultShortcut();

// The chord of a one-key shortcut, or nothing for what cannot be one: an empty or multi-key
// sequence, a modifier on its own, a key without a keysym.
std::optional<KeyChord> keyChord(const QKeySequence &shortcut);

// What a key press records as a shortcut, or nothing when it cannot be one: a modifier alone,
// or a key that would take over typing (a global shortcut needs Ctrl, Alt or Super, or is a
// function key).
std::optional<QKeySequence> recordedShortcut(int key, Qt::KeyboardModifiers modifiers);

// The chord in the freedesktop shortcuts specification's form ("SHIFT+LOGO+v"), which the
// GlobalShortcuts portal takes as a preferred trigger.
QString portalTrigger(const KeyChord &chord);

} // namespace tessary
