#pragma once

class QWidget;

namespace vellumite {

// Restores a window from minimized, shows it, raises it and asks for the input focus: what the first
// instance does when a later start asks it to show itself.
void bringToFront(QWidget *window);

// Brings `owner` to the front, then `window` in front of it with the input focus. A minimised owner is
// mapped again by the window manager some time after the request, and the manager then gives the
// focus to it: `window` asks for the focus once more when that happens, within a second.
void bringToFrontAbove(QWidget *window, QWidget *owner);

} // namespace vellumite
