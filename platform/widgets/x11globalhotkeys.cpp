#include "platform/widgets/x11globalhotkeys.h"

#include "platform/widgets/xcbapplication.h"

#include <QGuiApplication>

namespace vellumite {

namespace {

constexpr quint32 NumLockKeysym = 0xff7f;

// The X keysym of a virtual-key code; 0 for a code without one.
quint32 keysymOf(quint8 code)
{
    if (code >= VirtualKey::LetterA && code <= VirtualKey::LetterA + 25)
        return 'a' + (code - VirtualKey::LetterA);
    if (code >= VirtualKey::Digit0 && code <= VirtualKey::Digit0 + 9)
        return '0' + (code - VirtualKey::Digit0);
    if (code >= VirtualKey::Numpad0 && code <= VirtualKey::Numpad0 + 9)
        return 0xffb0 + (code - VirtualKey::Numpad0);
    if (code >= VirtualKey::F1 && code <= VirtualKey::F1 + 23)
        return 0xffbe + (code - VirtualKey::F1);
    switch (code) {
    case VirtualKey::Backspace:
        return 0xff08;
    case VirtualKey::Tab:
        return 0xff09;
    case VirtualKey::Enter:
        return 0xff0d;
    case VirtualKey::Pause:
        return 0xff13;
    case VirtualKey::Escape:
        return 0xff1b;
    case VirtualKey::Space:
        return ' ';
    case VirtualKey::PageUp:
        return 0xff55;
    case VirtualKey::PageDown:
        return 0xff56;
    case VirtualKey::End:
        return 0xff57;
    case VirtualKey::Home:
        return 0xff50;
    case VirtualKey::Left:
        return 0xff51;
    case VirtualKey::Up:
        return 0xff52;
    case VirtualKey::Right:
        return 0xff53;
    case VirtualKey::Down:
        return 0xff54;
    case VirtualKey::Insert:
        return 0xff63;
    case VirtualKey::Delete:
        return 0xffff;
    case VirtualKey::NumpadMultiply:
        return 0xffaa;
    case VirtualKey::NumpadAdd:
        return 0xffab;
    case VirtualKey::NumpadSubtract:
        return 0xffad;
    case VirtualKey::NumpadDecimal:
        return 0xffae;
    case VirtualKey::NumpadDivide:
        return 0xffaf;
    case VirtualKey::Semicolon:
        return ';';
    case VirtualKey::Equal:
        return '=';
    case VirtualKey::Comma:
        return ',';
    case VirtualKey::Minus:
        return '-';
    case VirtualKey::Period:
        return '.';
    case VirtualKey::Slash:
        return '/';
    case VirtualKey::Grave:
        return '`';
    case VirtualKey::BracketLeft:
        return '[';
    case VirtualKey::Backslash:
        return '\\';
    case VirtualKey::BracketRight:
        return ']';
    case VirtualKey::Apostrophe:
        return '\'';
    default:
        return 0;
    }
}

quint16 xcbModifiersOf(HotKeyValue value)
{
    quint16 mask = 0;
    if (value & HotKeyModifier::Shift)
        mask |= XCB_MOD_MASK_SHIFT;
    if (value & HotKeyModifier::Ctrl)
        mask |= XCB_MOD_MASK_CONTROL;
    if (value & HotKeyModifier::Alt)
        mask |= XCB_MOD_MASK_1;
    return mask;
}

} // namespace

X11GlobalHotKeys::X11GlobalHotKeys()
{
    const XcbDisplay display = applicationXcbDisplay();
    m_connection = display.connection;
    m_root = display.root;
    if (m_connection)
        QCoreApplication::instance()->installNativeEventFilter(this);
}

X11GlobalHotKeys::~X11GlobalHotKeys()
{
    releaseAll();
    if (m_connection) {
        xcb_flush(m_connection);
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

QList<xcb_keycode_t> X11GlobalHotKeys::keycodesOf(quint32 keysym) const
{
    QList<xcb_keycode_t> keycodes;
    const xcb_setup_t *setup = xcb_get_setup(m_connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    XcbReply<xcb_get_keyboard_mapping_reply_t> mapping(xcb_get_keyboard_mapping_reply(
        m_connection, xcb_get_keyboard_mapping(m_connection, setup->min_keycode, quint8(count)), nullptr));
    if (!mapping || mapping->keysyms_per_keycode == 0)
        return keycodes;
    const xcb_keysym_t *keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
    const int length = xcb_get_keyboard_mapping_keysyms_length(mapping.get());
    const int perKeycode = mapping->keysyms_per_keycode;
    for (int i = 0; i < length; ++i) {
        const xcb_keycode_t keycode = xcb_keycode_t(setup->min_keycode + i / perKeycode);
        if (keysyms[i] == keysym && !keycodes.contains(keycode))
            keycodes.append(keycode);
    }
    return keycodes;
}

quint16 X11GlobalHotKeys::numLockMask() const
{
    const QList<xcb_keycode_t> numLock = keycodesOf(NumLockKeysym);
    XcbReply<xcb_get_modifier_mapping_reply_t> mapping(
        xcb_get_modifier_mapping_reply(m_connection, xcb_get_modifier_mapping(m_connection), nullptr));
    if (!mapping || numLock.isEmpty())
        return 0;
    const xcb_keycode_t *keycodes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            if (numLock.contains(keycodes[modifier * perModifier + i]))
                return quint16(1u << modifier);
        }
    }
    return 0;
}

QList<quint16> X11GlobalHotKeys::lockVariants() const
{
    const quint16 numLock = numLockMask();
    QList<quint16> variants { 0, XCB_MOD_MASK_LOCK };
    if (numLock) {
        variants.append(numLock);
        variants.append(quint16(numLock | XCB_MOD_MASK_LOCK));
    }
    return variants;
}

bool X11GlobalHotKeys::grabKey(HotKeyValue value)
{
    if (!m_connection)
        return false;
    const quint32 keysym = keysymOf(hotKeyVirtualKey(value));
    const QList<xcb_keycode_t> keycodes = keysym ? keycodesOf(keysym) : QList<xcb_keycode_t>();
    if (keycodes.isEmpty())
        return false;
    const quint16 modifiers = xcbModifiersOf(value);
    const QList<quint16> variants = lockVariants();

    QList<Grab> taken;
    bool refused = false;
    for (xcb_keycode_t keycode : keycodes) {
        QList<xcb_void_cookie_t> cookies;
        for (quint16 variant : variants) {
            cookies.append(xcb_grab_key_checked(m_connection, 0, m_root, quint16(modifiers | variant),
                                                keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        }
        // Every request is checked: BadAccess means another client holds that combination.
        for (const xcb_void_cookie_t &cookie : std::as_const(cookies)) {
            if (XcbReply<xcb_generic_error_t> error { xcb_request_check(m_connection, cookie) })
                refused = true;
        }
        taken.append({ value, keycode, modifiers });
    }
    if (refused) {
        // Release what was taken, but only the variants this client got; a refused one stays the
        // other client's (an ungrab of a key held by another client does nothing).
        for (const Grab &grab : std::as_const(taken))
            ungrab(grab);
        xcb_flush(m_connection);
        return false;
    }
    m_grabs += taken;
    xcb_flush(m_connection);
    return true;
}

void X11GlobalHotKeys::ungrab(const Grab &grab)
{
    for (quint16 variant : lockVariants())
        xcb_ungrab_key(m_connection, grab.keycode, m_root, quint16(grab.modifiers | variant));
}

void X11GlobalHotKeys::releaseKey(HotKeyValue value)
{
    if (!m_connection)
        return;
    for (qsizetype i = m_grabs.size() - 1; i >= 0; --i) {
        if (m_grabs.at(i).value == value) {
            ungrab(m_grabs.at(i));
            m_grabs.removeAt(i);
        }
    }
    xcb_flush(m_connection);
}

bool X11GlobalHotKeys::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t" || !message)
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
        return false;
    const auto *press = static_cast<const xcb_key_press_event_t *>(message);
    if (press->event != m_root)
        return false;
    constexpr quint16 held = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1;
    for (const Grab &grab : std::as_const(m_grabs)) {
        if (grab.keycode == press->detail && grab.modifiers == (press->state & held)) {
            reportPress(grab.value);
            return true;
        }
    }
    return false;
}

} // namespace vellumite
