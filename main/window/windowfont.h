#pragma once

#include <QFont>

namespace vellumite {

// The font of every window and of the tree: Tahoma 8 pt, fixed at 11 pixels so the designed layouts
// keep their sizes whatever the screen's resolution.
QFont windowFont();

} // namespace vellumite
