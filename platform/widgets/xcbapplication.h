#pragma once

#include <QGuiApplication>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace vellumite {

// XCB hands replies and errors over in memory the caller frees with free().
struct XcbFree
{
    void operator()(void *p) const { std::free(p); }
};
template<typename T> using XcbReply = std::unique_ptr<T, XcbFree>;

// The application's own XCB connection and the root window of its first screen; both empty when the
// application does not run on X11 (Wayland, offscreen).
struct XcbDisplay
{
    xcb_connection_t *connection = nullptr;
    xcb_window_t root = 0;
};

inline XcbDisplay applicationXcbDisplay()
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return {};
    const xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(x11->connection()));
    if (!screens.rem)
        return {};
    return { x11->connection(), screens.data->root };
}

} // namespace vellumite
