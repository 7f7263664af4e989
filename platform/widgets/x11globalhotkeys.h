#pragma once

#include "platform/globalhotkeys.h"

#include <QAbstractNativeEventFilter>
#include <QList>
#include <xcb/xcb.h>

namespace vellumite {

// Global hot keys on X11: each key is grabbed on the root window through the application's own XCB
// connection, in the four lock variants (none, Caps Lock, Num Lock, both), and its presses arrive
// through a native event filter on the user-interface thread. A key another client holds is refused
// (BadAccess, seen through a checked request). Without X11 (Wayland, offscreen) every key is refused.
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
    struct Grab
    {
        HotKeyValue value;
        xcb_keycode_t keycode;
        quint16 modifiers;
    };

    QList<xcb_keycode_t> keycodesOf(quint32 keysym) const;
    quint16 numLockMask() const;
    QList<quint16> lockVariants() const;
    void ungrab(const Grab &grab);

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
    QList<Grab> m_grabs;
};

} // namespace vellumite
