#pragma once

#include <QString>
#include <optional>

namespace vellumite {

// What the desktop tells of the window in front.
struct ForegroundWindowInfo
{
    // The window's class (the second string of WM_CLASS) and its instance name (the first).
    QString className;
    QString instanceName;
    QString title;
    // The process that shows the window; 0 when the window does not say.
    qint64 processId = 0;
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
