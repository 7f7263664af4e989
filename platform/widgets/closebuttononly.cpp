#include "platform/widgets/closebuttononly.h"

#include "platform/widgets/xcbapplication.h"

#include <QEvent>
#include <QWidget>

namespace vellumite {

namespace {

using namespace Qt::StringLiterals;

// Window manager names are short; more than this many 32-bit units is no name.
constexpr quint32 MaximumNameLength = 64;

quint32 firstWindow(const QByteArray &data)
{
    quint32 window = XCB_WINDOW_NONE;
    if (data.size() >= qsizetype(sizeof window))
        std::memcpy(&window, data.constData(), sizeof window);
    return window;
}

// The name the running window manager gives itself (on the window that the root window names as its
// supporting window, as the extended window manager hints have it); empty when none runs.
QByteArray windowManagerName(const XcbDisplay &display)
{
    const xcb_atom_t check = xcbAtom(display.connection, "_NET_SUPPORTING_WM_CHECK");
    const xcb_window_t supporting
        = firstWindow(xcbProperty(display.connection, display.root, check, XCB_ATOM_WINDOW, 1));
    if (supporting == XCB_WINDOW_NONE)
        return {};
    return xcbProperty(display.connection, supporting, xcbAtom(display.connection, "_NET_WM_NAME"),
                       xcbAtom(display.connection, "UTF8_STRING"), MaximumNameLength);
}

// Before each show (the show event comes before the window is mapped, and the window manager reads
// the kind when it maps the window) the window becomes a toolbar where openbox manages it.
class OpenboxWindowKind final : public QObject
{
public:
    explicit OpenboxWindowKind(QWidget &window)
        : QObject(&window)
    {
        setObjectName(u"openboxWindowKind"_s);
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show && watched == parent())
            markAsToolbar(*static_cast<QWidget *>(watched));
        return false;
    }

private:
    static void markAsToolbar(QWidget &window)
    {
        const XcbDisplay display = applicationXcbDisplay();
        if (!display.connection || !window.isWindow() || windowManagerName(display) != "Openbox")
            return;
        const xcb_atom_t toolbar = xcbAtom(display.connection, "_NET_WM_WINDOW_TYPE_TOOLBAR");
        const xcb_atom_t type = xcbAtom(display.connection, "_NET_WM_WINDOW_TYPE");
        if (toolbar == XCB_ATOM_NONE || type == XCB_ATOM_NONE)
            return;
        xcb_change_property(display.connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window.winId()), type,
                            XCB_ATOM_ATOM, 32, 1, &toolbar);
        xcb_flush(display.connection);
    }
};

} // namespace

void showOnlyTheCloseButton(QWidget &window)
{
    Qt::WindowFlags flags = window.windowFlags();
    flags &= ~(Qt::WindowMinMaxButtonsHint | Qt::WindowContextHelpButtonHint | Qt::WindowFullscreenButtonHint
               | Qt::WindowSystemMenuHint);
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
    window.setWindowFlags(flags);
    if (!window.findChild<OpenboxWindowKind *>(u"openboxWindowKind"_s, Qt::FindDirectChildrenOnly))
        window.installEventFilter(new OpenboxWindowKind(window));
}

} // namespace vellumite
