#pragma once

#include <QPixmap>
#include <vector>

namespace vellumite {

// The row spinner: eight 20 x 20 frames, one full turn.
inline constexpr int SpinnerFrameCount = 8;
inline constexpr int SpinnerFrameSize = 20;
std::vector<QPixmap> spinnerFrames();

// The 48 x 48 pictures of the three stores, in the order of StoreKind.
inline constexpr int StoreIconSize = 48;
std::vector<QPixmap> storeIcons();

} // namespace vellumite
