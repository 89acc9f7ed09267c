#include "shortcutkeys.h"

#include <QStringList>
#include <array>
#include <utility>
#include <xkbcommon/xkbcommon.h>

namespace tessary {
namespace {

// Keys outside Latin-1 and the function keys that a shortcut may reasonably use.
constexpr std::array<std::pair<int, xkb_keysym_t>, 20> kSpecialKeys{{
    {Qt::Key_Escape, XKB_KEY_Escape},
    {Qt::Key_Tab, XKB_KEY_Tab},
    {Qt::Key_Backtab, XKB_KEY_ISO_Left_Tab},
    {Qt::Key_Backspace, XKB_KEY_BackSpace},
    {Qt::Key_Return, XKB_KEY_Return},
    {Qt::Key_Enter, XKB_KEY_KP_Enter},
    {Qt::Key_Insert, XKB_KEY_Insert},
    {Qt::Key_Delete, XKB_KEY_Delete},
    {Qt::Key_Pause, XKB_KEY_Pause},
    {Qt::Key_Print, XKB_KEY_Print},
    {Qt::Key_Home, XKB_KEY_Home},
    {Qt::Key_End, XKB_KEY_End},
    {Qt::Key_Left, XKB_KEY_Left},
    {Qt::Key_Up, XKB_KEY_Up},
    {Qt::Key_Right, XKB_KEY_Right},
    {Qt::Key_Down, XKB_KEY_Down},
    {Qt::Key_PageUp, XKB_KEY_Prior},
    {Qt::Key_PageDown, XKB_KEY_Next},
    {Qt::Key_Menu, XKB_KEY_Menu},
    {Qt::Key_ScrollLock, XKB_KEY_Scroll_Lock},
}};

constexpr Qt::KeyboardModifiers kChordModifiers =
    Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

bool isFunctionKey(int key)
{
    return key >= Qt::Key_F1 && key <= Qt::Key_F35;
}

bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true;
    default:
        return false;
    }
}

std::optional<xkb_keysym_t> keysymForKey(int key)
{
    // Latin-1 keys carry their character's code in Qt and in X alike; Qt names letters by
    // their capital, the keysym a bare key gives is the small one.
    if ((key >= 0x20 && key <= 0x7e) || (key >= 0xa0 && key <= 0xff))
        return xkb_keysym_to_lower(static_cast<xkb_keysym_t>(key));
    if (isFunctionKey(key))
        return XKB_KEY_F1 + static_cast<xkb_keysym_t>(key - Qt::Key_F1);
    for (const auto &[qtKey, keysym] : kSpecialKeys) {
        if (qtKey == key)
            return keysym;
    }
    return std::nullopt;
}

} // namespace

QKeySequence defaultShortcut()
{
    return QKeySequence(Qt::META | Qt::SHIFT | Qt::Key_V);
}

std::optional<KeyChord> keyChord(const QKeySequence &shortcut)
{
    if (shortcut.count() != 1)
        return std::nullopt;
    const QKeyCombination combination = shortcut[0];
    const std::optional<xkb_keysym_t> keysym = keysymForKey(combination.key());
    if (!keysym || isModifierKey(combination.key()))
        return std::nullopt;
    return KeyChord{*keysym, combination.keyboardModifiers() & kChordModifiers};
}

std::optional<QKeySequence> recordedShortcut(int key, Qt::KeyboardModifiers modifiers)
{
    modifiers &= kChordModifiers;
    if (isModifierKey(key) || !keysymForKey(key))
        return std::nullopt;
    if (!isFunctionKey(key) &&
        !(modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return std::nullopt;
    return QKeySequence(QKeyCombination(modifiers, static_cast<Qt::Key>(key)));
}

QString portalTrigger(const KeyChord &chord)
{
    QStringList parts;
    if (chord.modifiers & Qt::ControlModifier)
        parts.append(QStringLiteral("CTRL"));
    if (chord.modifiers & Qt::AltModifier)
        parts.append(QStringLiteral("ALT"));
    if (chord.modifiers & Qt::ShiftModifier)
        parts.append(QStringLiteral("SHIFT"));
    if (chord.modifiers & Qt::MetaModifier)
        parts.append(QStringLiteral("LOGO"));
    char name[64];
    if (xkb_keysym_get_name(chord.keysym, name, sizeof name) > 0)
        parts.append(QString::fromLatin1(name));
    return parts.join(u'+');
}

} // namespace tessary
