#include "platform/widgets/x11foregroundwindow.h"

#include "platform/widgets/xcbapplication.h"

#include <QGuiApplication>
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

} // namespace

X11ForegroundWindow::X11ForegroundWindow()
{
    const XcbDisplay display = applicationXcbDisplay();
    m_connection = display.connection;
    m_root = display.root;
}

xcb_atom_t X11ForegroundWindow::atom(const char *name) const
{
    return xcbAtom(m_connection, name);
}

QByteArray X11ForegroundWindow::property(xcb_window_t window, xcb_atom_t name, xcb_atom_t type) const
{
    return xcbProperty(m_connection, window, name, type, MaximumPropertyLength);
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
    return info;
}

} // namespace vellumite
