#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <xcb/xcb.h>

class QSocketNotifier;
struct _XCBKeySymbols;

namespace tessary {

// A global key on an X11 session: a passive grab of one key with its modifiers on the root
// window, through a connection of its own, so the key reaches us whichever window has the
// focus. It is grabbed with every combination of the lock modifiers (Caps, Num and Scroll
// Lock), which would otherwise make it miss; grabs go with this object or the connection.
class X11KeyGrab : public QObject {
    Q_OBJECT
public:
    // Nothing when the display cannot be opened. `displayName` empty: $DISPLAY.
    static std::unique_ptr<X11KeyGrab> open(const QByteArray &displayName = {},
                                            QObject *parent = nullptr);
    ~X11KeyGrab() override;

    // Grabs the key that gives `keysym` with `modifiers` (Shift, Control, Alt, Meta for Super),
    // in place of any earlier one. Returns why it could not: the key is not on the keyboard, or
    // another program holds it (then nothing is grabbed).
    std::optional<QString> grab(quint32 keysym, Qt::KeyboardModifiers modifiers);
    void release();

signals:
    // The key was pressed, at this X server time; held down, it counts once.
    void pressed(quint32 time);

private:
    explicit X11KeyGrab(xcb_connection_t *connection, QObject *parent);
    void readModifierMasks();
    void processEvents();

    struct Grab {
        xcb_keycode_t keycode;
        quint16 modifiers;
    };

    xcb_connection_t *m_connection;
    xcb_window_t m_root;
    _XCBKeySymbols *m_keySymbols; // xcb_key_symbols_t
    QSocketNotifier *m_notifier;
    // What the desktop's keyboard map puts Alt, Super and the locks on (Mod1..Mod5 vary).
    quint16 m_altMask = 0, m_superMask = 0, m_numLockMask = 0, m_scrollLockMask = 0;
    quint32 m_keysym = 0;
    Qt::KeyboardModifiers m_modifiers;
    QList<Grab> m_grabs;
    quint32 m_lastReleaseTime = 0;
};

} // namespace tessary
