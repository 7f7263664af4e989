#include "platform/widgets/x11globalhotkeys.h"

#include "platform/widgets/xcbapplication.h"
#include "platform/widgets/xcbxkb.h"
#include "platform/widgets/xkbkeystrokes.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <utility>
#include <xkbcommon/xkbcommon-x11.h>

namespace vellumite {

namespace {

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

// The keyboard events that change which keys type a hot key: a new mapping, a new keyboard, and a
// switch of the layout group.
constexpr quint16 KeyboardEvents = XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY
    | XCB_XKB_EVENT_TYPE_STATE_NOTIFY;
constexpr quint16 KeyboardMapParts
    = XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS | XCB_XKB_MAP_PART_MODIFIER_MAP;

// Adds the keyboard events to those this connection already selects (the toolkit selects its own
// on the same connection): only the details named here are touched.
void selectKeyboardEvents(xcb_connection_t *connection, qint32 device)
{
    xcb_xkb_select_events_details_t details {};
    details.affectNewKeyboard = XCB_XKB_NKN_DETAIL_KEYCODES;
    details.newKeyboardDetails = XCB_XKB_NKN_DETAIL_KEYCODES;
    details.affectState = XCB_XKB_STATE_PART_GROUP_STATE;
    details.stateDetails = XCB_XKB_STATE_PART_GROUP_STATE;
    xcb_xkb_select_events_aux(connection, xcb_xkb_device_spec_t(device), KeyboardEvents, 0, 0,
                              KeyboardMapParts, KeyboardMapParts, &details);
}

} // namespace

void X11GlobalHotKeys::KeymapFree::operator()(xkb_keymap *keymap) const
{
    xkb_keymap_unref(keymap);
}

void X11GlobalHotKeys::ContextFree::operator()(xkb_context *context) const
{
    xkb_context_unref(context);
}

X11GlobalHotKeys::X11GlobalHotKeys()
{
    const XcbDisplay display = applicationXcbDisplay();
    m_connection = display.connection;
    m_root = display.root;
    if (!m_connection)
        return;
    if (!setUpKeyboard()) {
        // Without the keyboard extension no key can be found in the layout: every key is refused.
        m_connection = nullptr;
        return;
    }
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

bool X11GlobalHotKeys::setUpKeyboard()
{
    if (!xkb_x11_setup_xkb_extension(m_connection, XKB_X11_MIN_MAJOR_XKB_VERSION,
                                     XKB_X11_MIN_MINOR_XKB_VERSION, XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS,
                                     nullptr, nullptr, &m_xkbEventBase, nullptr))
        return false;
    m_device = xkb_x11_get_core_keyboard_device_id(m_connection);
    m_context.reset(xkb_context_new(
        xkb_context_flags(XKB_CONTEXT_NO_DEFAULT_INCLUDES | XKB_CONTEXT_NO_ENVIRONMENT_NAMES)));
    if (m_device < 0 || !m_context)
        return false;
    selectKeyboardEvents(m_connection, m_device);
    loadKeyboard();
    return m_keymap != nullptr;
}

void X11GlobalHotKeys::readGroup()
{
    XcbReply<xcb_xkb_get_state_reply_t> state(xcb_xkb_get_state_reply(
        m_connection, xcb_xkb_get_state(m_connection, xcb_xkb_device_spec_t(m_device)), nullptr));
    if (state)
        m_group = state->group;
}

void X11GlobalHotKeys::loadKeyboard()
{
    readGroup();
    if (xkb_keymap *keymap = xkb_x11_keymap_new_from_device(m_context.get(), m_connection, m_device,
                                                            XKB_KEYMAP_COMPILE_NO_FLAGS))
        m_keymap.reset(keymap);
    m_numLock = numLockMask();
}

quint16 X11GlobalHotKeys::numLockMask() const
{
    const QList<KeyStroke> numLock = keyStrokesFor(m_keymap.get(), m_group, XKB_KEY_Num_Lock, 0);
    XcbReply<xcb_get_modifier_mapping_reply_t> mapping(
        xcb_get_modifier_mapping_reply(m_connection, xcb_get_modifier_mapping(m_connection), nullptr));
    if (!mapping || numLock.isEmpty())
        return 0;
    const xcb_keycode_t *keycodes = xcb_get_modifier_mapping_keycodes(mapping.get());
    const int perModifier = mapping->keycodes_per_modifier;
    for (int modifier = 0; modifier < 8; ++modifier) {
        for (int i = 0; i < perModifier; ++i) {
            for (const KeyStroke &stroke : numLock) {
                if (keycodes[modifier * perModifier + i] == stroke.keycode)
                    return quint16(1u << modifier);
            }
        }
    }
    return 0;
}

QList<X11GlobalHotKeys::Grab> X11GlobalHotKeys::combinationsOf(HotKeyValue value) const
{
    QList<Grab> combinations;
    const quint32 keysym = keysymOf(hotKeyVirtualKey(value));
    if (!keysym || !m_keymap)
        return combinations;
    const auto locks = quint16(XCB_MOD_MASK_LOCK | m_numLock);
    QList<quint16> variants { 0, XCB_MOD_MASK_LOCK };
    if (m_numLock)
        variants += { m_numLock, locks };
    for (const KeyStroke &stroke : keyStrokesFor(m_keymap.get(), m_group, keysym, locks)) {
        const auto modifiers = quint16(xcbModifiersOf(value) | stroke.modifiers);
        for (quint16 variant : std::as_const(variants))
            combinations.append({ value, xcb_keycode_t(stroke.keycode), quint16(modifiers | variant) });
    }
    return combinations;
}

bool X11GlobalHotKeys::take(const QList<Grab> &combinations, QList<Grab> &granted)
{
    QList<xcb_void_cookie_t> cookies;
    for (const Grab &grab : combinations) {
        cookies.append(xcb_grab_key_checked(m_connection, 0, m_root, grab.modifiers, grab.keycode,
                                            XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    }
    // Every request is checked: BadAccess means another client holds that combination.
    bool refused = false;
    for (qsizetype i = 0; i < cookies.size(); ++i) {
        if (XcbReply<xcb_generic_error_t> error { xcb_request_check(m_connection, cookies.at(i)) })
            refused = true;
        else
            granted.append(combinations.at(i));
    }
    return !refused;
}

void X11GlobalHotKeys::ungrab(const QList<Grab> &grabs)
{
    // Only combinations this client holds are listed: one another client holds stays its own.
    for (const Grab &grab : grabs)
        xcb_ungrab_key(m_connection, grab.keycode, m_root, grab.modifiers);
}

QList<X11GlobalHotKeys::Grab> X11GlobalHotKeys::grabsOf(HotKeyValue value) const
{
    QList<Grab> grabs;
    for (const Grab &grab : m_grabs) {
        if (grab.value == value)
            grabs.append(grab);
    }
    return grabs;
}

void X11GlobalHotKeys::dropGrabsOf(HotKeyValue value)
{
    ungrab(grabsOf(value));
    m_grabs.removeIf([value](const Grab &grab) { return grab.value == value; });
}

bool X11GlobalHotKeys::grabKey(HotKeyValue value)
{
    if (!m_connection)
        return false;
    const QList<Grab> combinations = combinationsOf(value);
    if (combinations.isEmpty())
        return false;
    QList<Grab> granted;
    if (!take(combinations, granted)) {
        ungrab(granted);
        xcb_flush(m_connection);
        return false;
    }
    m_grabs += granted;
    m_values.append(value);
    xcb_flush(m_connection);
    return true;
}

void X11GlobalHotKeys::releaseKey(HotKeyValue value)
{
    if (!m_connection)
        return;
    dropGrabsOf(value);
    m_values.removeAll(value);
    // A round trip: once it returns the server has released the key, so another client (or a new
    // registration) can take it at once.
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

void X11GlobalHotKeys::keyboardChanged(bool reload)
{
    if (reload)
        loadKeyboard();
    else
        readGroup();
    for (HotKeyValue value : std::as_const(m_values)) {
        const QList<Grab> combinations = combinationsOf(value);
        const QList<Grab> held = grabsOf(value);
        const auto same = [](const Grab &a, const Grab &b) {
            return a.keycode == b.keycode && a.modifiers == b.modifiers;
        };
        if (std::ranges::equal(combinations, held, same))
            continue;
        dropGrabsOf(value);
        // A combination another client took meanwhile stays its own; the rest still serves the key.
        QList<Grab> granted;
        take(combinations, granted);
        m_grabs += granted;
    }
    xcb_flush(m_connection);
}

void X11GlobalHotKeys::queueKeyboardChange(bool reload)
{
    // Changing the layout sends a burst of events: the keys are looked up once after it.
    m_reloadQueued = m_reloadQueued || reload;
    if (std::exchange(m_changeQueued, true))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_changeQueued = false;
            keyboardChanged(std::exchange(m_reloadQueued, false));
        },
        Qt::QueuedConnection);
}

bool X11GlobalHotKeys::isKeyboardEvent(const xcb_generic_event_t *event, bool &reload) const
{
    const quint8 type = event->response_type & 0x7f;
    if (type == XCB_MAPPING_NOTIFY) {
        const auto *mapping = reinterpret_cast<const xcb_mapping_notify_event_t *>(event);
        reload = true;
        return mapping->request == XCB_MAPPING_KEYBOARD || mapping->request == XCB_MAPPING_MODIFIER;
    }
    if (type != m_xkbEventBase)
        return false;
    // Every event of the extension carries its own type and the device in the same places.
    const auto *xkb = reinterpret_cast<const xcb_xkb_state_notify_event_t *>(event);
    if (xkb->deviceID != m_device)
        return false;
    switch (xkb->xkbType) {
    case XCB_XKB_NEW_KEYBOARD_NOTIFY:
    case XCB_XKB_MAP_NOTIFY:
        reload = true;
        return true;
    case XCB_XKB_STATE_NOTIFY:
        reload = false;
        return xkb->group != m_group;
    default:
        return false;
    }
}

bool X11GlobalHotKeys::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *)
{
    if (eventType != "xcb_generic_event_t" || !message)
        return false;
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    if (bool reload = false; isKeyboardEvent(event, reload)) {
        // The toolkit reads these events as well.
        queueKeyboardChange(reload);
        return false;
    }
    if ((event->response_type & 0x7f) != XCB_KEY_PRESS)
        return false;
    const auto *press = static_cast<const xcb_key_press_event_t *>(message);
    if (press->event != m_root)
        return false;
    // A grab matches its modifiers exactly: the press carries one of the combinations taken.
    const auto modifiers = quint16(press->state & 0xff);
    for (const Grab &grab : std::as_const(m_grabs)) {
        if (grab.keycode == press->detail && grab.modifiers == modifiers) {
            reportPress(grab.value);
            return true;
        }
    }
    return false;
}

} // namespace vellumite
