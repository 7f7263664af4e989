#pragma once

#include <QRect>
#include <QString>
#include <optional>

namespace vellumite {

// Where a top-level window stands on the screen, as the user sees it.
struct WindowPlace
{
    enum class Size { Unknown, Normal, Maximized, FullScreen, Minimized };

    Size size = Size::Unknown;
    // The window with the window manager's frame, in screen coordinates; empty when unknown. A maximized
    // or full-screen window's frame is the screen's, and says nothing to tell two such windows apart.
    QRect frame;

    // Whether both name one place: the same maximized or full-screen state, or the same frame of a normal
    // window. An unknown place is no window's.
    bool sameAs(const WindowPlace &other) const
    {
        if (size == Size::Unknown || size != other.size || size == Size::Minimized)
            return false;
        return size != Size::Normal || (!frame.isEmpty() && frame == other.frame);
    }

    friend bool operator==(const WindowPlace &, const WindowPlace &) = default;
};

// What the desktop tells of the window in front.
struct ForegroundWindowInfo
{
    // The window's class (the second string of WM_CLASS) and its instance name (the first).
    QString className;
    QString instanceName;
    QString title;
    // The process that shows the window; 0 when the window does not say.
    qint64 processId = 0;
    WindowPlace place;
};

// The top-level window that has the foreground.
class ForegroundWindow
{
public:
    virtual ~ForegroundWindow() = default;

    // Nothing when no window is in front or the desktop cannot tell.
    virtual std::optional<ForegroundWindowInfo> current() const = 0;
};

} // namespace vellumite
