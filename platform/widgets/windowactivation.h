#pragma once

class QWidget;

namespace vellumite {

// Restores a window from minimized, shows it, raises it and asks for the input focus: what the first
// instance does when a later start asks it to show itself.
void bringToFront(QWidget *window);

} // namespace vellumite
