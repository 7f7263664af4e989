#include "platform/widgets/x11foregroundwindow.h"

#include "platform/widgets/xcbapplication.h"

#include <QGuiApplication>
#include <QList>
#include <QMargins>
#include <QRect>
#include <QtEndian>
#include <cstring>

namespace vellumite {

namespace {

// Window names and classes longer than this are cut (in 32-bit units, as the protocol counts).
constexpr quint32 MaximumPropertyLength = 4096;

quint32 firstCardinal(const QByteArray &data)
{
    if (data.size() < 4)
        return 0;
    quint32 value;
    std::memcpy(&value, data.constData(), sizeof value);
    return value;
}

QList<quint32> cardinals(const QByteArray &data)
{
    QList<quint32> values(data.size() / 4);
    // An empty list has no storage to copy into: a window without the property gives none.
    if (!values.isEmpty())
        std::memcpy(values.data(), data.constData(), size_t(values.size()) * 4);
    return values;
}

} // namespace

X11ForegroundWindow::X11ForegroundWindow()
{
    const XcbDisplay display = applicationXcbDisplay();
    m_connection = display.connection;
    m_root = display.root;
}

xcb_atom_t X11ForegroundWindow::atom(const char *name) const
{
    XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        m_connection, xcb_intern_atom(m_connection, 1, quint16(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
}

QByteArray X11ForegroundWindow::property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type) const
{
    if (name == XCB_ATOM_NONE)
        return {};
    XcbReply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, window, name, type, 0, MaximumPropertyLength),
        nullptr));
    if (!reply || reply->type == XCB_ATOM_NONE)
        return {};
    return QByteArray(static_cast<const char *>(xcb_get_property_value(reply.get())),
                      xcb_get_property_value_length(reply.get()));
}

std::optional<ForegroundWindowInfo> X11ForegroundWindow::current() const
{
    if (!m_connection)
        return std::nullopt;
    const xcb_window_t window = firstCardinal(property(m_root, atom("_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW));
    if (window == XCB_WINDOW_NONE)
        return std::nullopt;

    ForegroundWindowInfo info;
    // WM_CLASS: the instance name and the class, each ended by a NUL.
    const QList<QByteArray> names = property(window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING).split('\0');
    info.instanceName = QString::fromLocal8Bit(names.value(0));
    info.className = QString::fromLocal8Bit(names.value(1));
    const QByteArray title = property(window, atom("_NET_WM_NAME"), atom("UTF8_STRING"));
    info.title = title.isEmpty() ? QString::fromLatin1(property(window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING))
                                 : QString::fromUtf8(title);
    info.processId = firstCardinal(property(window, atom("_NET_WM_PID"), XCB_ATOM_CARDINAL));
    info.place = placeOf(window);
    return info;
}

WindowPlace X11ForegroundWindow::placeOf(xcb_window_t window) const
{
    WindowPlace place;
    const QList<quint32> states = cardinals(property(window, atom("_NET_WM_STATE"), XCB_ATOM_ATOM));
    const auto inState = [&](const char *name) { return states.contains(atom(name)); };
    if (inState("_NET_WM_STATE_FULLSCREEN"))
        place.size = WindowPlace::Size::FullScreen;
    else if (inState("_NET_WM_STATE_HIDDEN"))
        place.size = WindowPlace::Size::Minimized;
    else if (inState("_NET_WM_STATE_MAXIMIZED_VERT") && inState("_NET_WM_STATE_MAXIMIZED_HORZ"))
        place.size = WindowPlace::Size::Maximized;
    else
        place.size = WindowPlace::Size::Normal;

    const xcb_get_geometry_cookie_t geometryCookie = xcb_get_geometry(m_connection, window);
    const xcb_translate_coordinates_cookie_t originCookie
        = xcb_translate_coordinates(m_connection, window, m_root, 0, 0);
    XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(m_connection, geometryCookie, nullptr));
    XcbReply<xcb_translate_coordinates_reply_t> origin(
        xcb_translate_coordinates_reply(m_connection, originCookie, nullptr));
    if (!geometry || !origin)
        return place;
    // Left, right, top and bottom: what the window manager's frame adds around the window.
    const QList<quint32> extents
        = cardinals(property(window, atom("_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL)).mid(0, 4);
    const QMargins frame = extents.size() == 4
        ? QMargins(int(extents[0]), int(extents[2]), int(extents[1]), int(extents[3]))
        : QMargins();
    place.frame = QRect(origin->dst_x, origin->dst_y, geometry->width, geometry->height) + frame;
    return place;
}

} // namespace vellumite
