#pragma once

#include <QByteArray>
#include <QGuiApplication>
#include <cstdlib>
#include <cstring>
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

// The atom of `name`, XCB_ATOM_NONE when the server knows none by that name.
inline xcb_atom_t xcbAtom(xcb_connection_t *connection, const char *name)
{
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, quint16(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

// The value of a window's property of that type, up to `maximumLength` 32-bit units; empty when the
// window has none.
inline QByteArray xcbProperty(xcb_connection_t *connection, xcb_window_t window, xcb_atom_t name,
                              xcb_atom_t type, quint32 maximumLength)
{
    if (name == XCB_ATOM_NONE)
        return {};
    XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, name, type, 0, maximumLength), nullptr));
    if (!reply || reply->type == XCB_ATOM_NONE)
        return {};
    return QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

} // namespace vellumite
