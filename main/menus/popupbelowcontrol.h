#pragma once

class QMenu;
class QWidget;

namespace vellumite {

// Drops `menu` down below `control`, one pixel left of its left edge, and returns when the menu closes.
// A mouse grab (a pressed button) is released first, so the control does not stay pressed.
void PopupBelowControl(QWidget *control, QMenu *menu);

} // namespace vellumite
