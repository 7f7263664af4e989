#pragma once

#include "platform/foregroundwindow.h"

#include <xcb/xcb.h>

namespace vellumite {

// The foreground window on X11: the window manager's _NET_ACTIVE_WINDOW of the root window, with its
// WM_CLASS, _NET_WM_NAME (WM_NAME when it has none), _NET_WM_PID and its place (its geometry on the
// root window with the window manager's _NET_FRAME_EXTENTS, and _NET_WM_STATE), read through the
// application's own XCB connection. Without X11 there is never a foreground window to tell of.
class X11ForegroundWindow final : public ForegroundWindow
{
public:
    // Needs the application object.
    X11ForegroundWindow();

    std::optional<ForegroundWindowInfo> current() const override;

private:
    xcb_atom_t atom(const char *name) const;
    QByteArray property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type) const;
    WindowPlace placeOf(xcb_window_t window) const;

    xcb_connection_t *m_connection = nullptr;
    xcb_window_t m_root = 0;
};

} // namespace vellumite
