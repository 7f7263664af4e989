#pragma once

class QMenu;
class QWidget;

namespace vellumite {

// Drops the menu down below a visible control, one pixel left of its left edge, and returns when the
// menu closes. A pressed button or a mouse grab is released first, so the menu gets the mouse.
void PopupBelowControl(QWidget *control, QMenu *menu);

} // namespace vellumite
