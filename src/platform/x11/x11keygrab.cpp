#include "x11keygrab.h"

#include "xcbsupport.h"

#include <QLoggingCategory>
#include <QSocketNotifier>
#include <algorithm>
#include <xcb/xcb_keysyms.h>
#include <xkbcommon/xkbcommon-keysyms.h>

namespace tessary {

Q_LOGGING_CATEGORY(lcKeyGrab, "tessary.x11.keygrab", QtInfoMsg)

using namespace x11;

namespace {

constexpr quint8 kBadAccess = 10;

} // namespace

std::unique_ptr<X11KeyGrab> X11KeyGrab::open(const QByteArray &displayName, QObject *parent)
{
    xcb_connection_t *connection =
        xcb_connect(displayName.isEmpty() ? nullptr : displayName.constData(), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return nullptr;
    }
    return std::unique_ptr<X11KeyGrab>(new X11KeyGrab(connection, parent));
}

X11KeyGrab::X11KeyGrab(xcb_connection_t *connection, QObject *parent)
    : QObject(parent), m_connection(connection),
      m_root(xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root),
      m_keySymbols(xcb_key_symbols_alloc(connection)),
      m_notifier(
          new QSocketNotifier(xcb_get_file_descriptor(connection), QSocketNotifier::Read, this))
{
    readModifierMasks();
    connect(m_notifier, &QSocketNotifier::activated, this, &X11KeyGrab::processEvents);
}

X11KeyGrab::~X11KeyGrab()
{
    release();
    xcb_key_symbols_free(m_keySymbols);
    xcb_disconnect(m_connection);
}

void X11KeyGrab::readModifierMasks()
{
    XcbPtr<xcb_get_modifier_mapping_reply_t> mapping(xcb_get_modifier_mapping_reply(
        m_connection, xcb_get_modifier_mapping(m_connection), nullptr));
    if (!mapping)
        return;
    const xcb_keycode_t *keycodes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    // The modifier bit whose keys include one that gives this keysym; 0 when none does.
    const auto maskOf = [&](xcb_keysym_t keysym) -> quint16 {
        XcbPtr<xcb_keycode_t> wanted(xcb_key_symbols_get_keycode(m_keySymbols, keysym));
        for (int modifier = 0; wanted && modifier < 8; ++modifier) {
            for (int i = 0; i < perModifier; ++i) {
                const xcb_keycode_t keycode = keycodes[modifier * perModifier + i];
                for (const xcb_keycode_t *k = wanted.get(); keycode && *k != XCB_NO_SYMBOL; ++k) {
                    if (*k == keycode)
                        return quint16(1u << modifier);
                }
            }
        }
        return 0;
    };
    m_altMask = maskOf(XKB_KEY_Alt_L) | maskOf(XKB_KEY_Alt_R);
    m_superMask = maskOf(XKB_KEY_Super_L) | maskOf(XKB_KEY_Super_R);
    m_numLockMask = maskOf(XKB_KEY_Num_Lock);
    m_scrollLockMask = maskOf(XKB_KEY_Scroll_Lock);
}

std::optional<QString> X11KeyGrab::grab(quint32 keysym, Qt::KeyboardModifiers modifiers)
{
    release();
    quint16 mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & Qt::AltModifier)
        mask |= m_altMask;
    if (modifiers & Qt::MetaModifier)
        mask |= m_superMask;
    XcbPtr<xcb_keycode_t> keycodes(xcb_key_symbols_get_keycode(m_keySymbols, keysym));
    if (!keycodes || *keycodes == XCB_NO_SYMBOL)
        return tr("no key on this keyboard gives it");

    const quint16 locks[] = {XCB_MOD_MASK_LOCK, m_numLockMask, m_scrollLockMask};
    QList<xcb_void_cookie_t> cookies;
    for (const xcb_keycode_t *keycode = keycodes.get(); *keycode != XCB_NO_SYMBOL; ++keycode) {
        for (int combination = 0; combination < 8; ++combination) {
            quint16 withLocks = mask;
            for (int lock = 0; lock < 3; ++lock) {
                if (combination & (1 << lock))
                    withLocks |= locks[lock];
            }
            // A lock the keyboard map lacks makes a combination repeat an earlier one.
            const bool repeated = std::any_of(m_grabs.cbegin(), m_grabs.cend(), [&](Grab g) {
                return g.keycode == *keycode && g.modifiers == withLocks;
            });
            if (repeated)
                continue;
            m_grabs.append({*keycode, withLocks});
            cookies.append(xcb_grab_key_checked(m_connection, 1, m_root, withLocks, *keycode,
                                                XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        }
    }
    bool taken = false;
    for (const xcb_void_cookie_t cookie : cookies) {
        XcbPtr<xcb_generic_error_t> error(xcb_request_check(m_connection, cookie));
        taken = taken || (error && error->error_code == kBadAccess);
    }
    if (taken) {
        release();
        return tr("another program uses it");
    }
    m_keysym = keysym;
    m_modifiers = modifiers;
    return std::nullopt;
}

void X11KeyGrab::release()
{
    for (const Grab &grab : std::as_const(m_grabs))
        xcb_ungrab_key(m_connection, grab.keycode, m_root, grab.modifiers);
    m_grabs.clear();
    m_keysym = 0;
    xcb_flush(m_connection);
}

void X11KeyGrab::processEvents()
{
    while (EventPtr event{xcb_poll_for_event(m_connection)}) {
        switch (eventType(event.get())) {
        case XCB_KEY_PRESS: {
            const auto *press = reinterpret_cast<xcb_key_press_event_t *>(event.get());
            // While the key is held every key comes here; only ours counts. Auto-repeat sends
            // a release and a press with the same time.
            const bool ours = std::any_of(m_grabs.cbegin(), m_grabs.cend(), [&](Grab g) {
                return g.keycode == press->detail && g.modifiers == press->state;
            });
            if (ours && press->time != m_lastReleaseTime)
                emit pressed(press->time);
            break;
        }
        case XCB_KEY_RELEASE:
            m_lastReleaseTime = reinterpret_cast<xcb_key_release_event_t *>(event.get())->time;
            break;
        case XCB_MAPPING_NOTIFY: {
            // Another keyboard map: the key may sit elsewhere now.
            auto *notify = reinterpret_cast<xcb_mapping_notify_event_t *>(event.get());
            xcb_refresh_keyboard_mapping(m_keySymbols, notify);
            readModifierMasks();
            if (m_keysym != 0) {
                if (const auto problem = grab(m_keysym, m_modifiers))
                    qCWarning(lcKeyGrab) << "the global shortcut is lost with the new keyboard "
                                            "map:"
                                         << *problem;
            }
            break;
        }
        default:
            break;
        }
    }
    if (xcb_connection_has_error(m_connection))
        m_notifier->setEnabled(false);
}

} // namespace tessary
