#pragma once

#include "platform/globalhotkeys.h"

#include <QAbstractNativeEventFilter>
#include <QList>
#include <memory>
#include <xcb/xcb.h>

struct xkb_context;
struct xkb_keymap;

namespace vellumite {

// Global hot keys on X11: each key is grabbed on the root window through the application's own XCB
// connection, in the four lock variants (none, Caps Lock, Num Lock, both), and its presses arrive
// through a native event filter on the user-interface thread. A key another client holds is refused
// (BadAccess, seen through a checked request). Without X11 (Wayland, offscreen) every key is refused.
//
// A hot key names a character, not a place on the keyboard: the keys grabbed are those that type it
// in the keyboard layout in use (with Shift or AltGr added where its level needs them), and they are
// grabbed anew whenever the keyboard mapping changes or the user switches to another layout group.
class X11GlobalHotKeys final : public GlobalHotKeys, public QAbstractNativeEventFilter
{
public:
    // Needs the application object.
    X11GlobalHotKeys();
    ~X11GlobalHotKeys() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

protected:
    bool grabKey(HotKeyValue value) override;
    void releaseKey(HotKeyValue value) override;

private:
    // One combination held on the root window; `modifiers` includes the lock variant.
    struct Grab
    {
        HotKeyValue value;
        xcb_keycode_t keycode;
        quint16 modifiers;
    };
    struct KeymapFree
    {
        void operator()(xkb_keymap *keymap) const;
    };
    struct ContextFree
    {
        void operator()(xkb_context *context) const;
    };

    bool setUpKeyboard();
    // The keymap, its Num Lock modifier and the layout group in use, read from the server.
    void loadKeyboard();
    void readGroup();
    QList<Grab> combinationsOf(HotKeyValue value) const;
    // Takes every combination the server grants; false when it refused one.
    bool take(const QList<Grab> &combinations, QList<Grab> &granted);
    void ungrab(const QList<Grab> &grabs);
    QList<Grab> grabsOf(HotKeyValue value) const;
    void dropGrabsOf(HotKeyValue value);
    // Reads the keyboard again (when `reload`) or only its group, and grabs every key anew for it.
    void keyboardChanged(bool reload);
    void queueKeyboardChange(bool reload);
    bool isKeyboardEvent(const xcb_generic_event_t *event, bool &reload) const;
    quint16 numLockMask() const;

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
    std::unique_ptr<xkb_context, ContextFree> m_context;
    std::unique_ptr<xkb_keymap, KeymapFree> m_keymap;
    qint32 m_device = -1;
    quint8 m_xkbEventBase = 0;
    quint32 m_group = 0;
    quint16 m_numLock = 0;
    bool m_changeQueued = false;
    bool m_reloadQueued = false;
    QList<HotKeyValue> m_values;
    QList<Grab> m_grabs;
};

} // namespace vellumite
