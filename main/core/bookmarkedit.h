#pragma once

#include "main/core/bookmarktree.h"

#include <optional>

namespace vellumite {

// One index serves the priority lists: 0 High, 1 Medium, 2 Low.
inline constexpr int PriorityHighIndex = 0;
inline constexpr int PriorityMediumIndex = 1;
inline constexpr int PriorityLowIndex = 2;

// The list index of a priority colour; -1 for a colour that is none of the three.
int priorityIndexOf(Colour colour);
// The colour of a list index; nothing for an index outside the list (no item chosen).
std::optional<Colour> priorityColourAt(int index);

// Where an added node goes: under the focused node when it is a category, beside it (under its parent)
// when it is a bookmark, and under the first node (the root category) when nothing is focused. A node
// never becomes a second top-level node: a focused top-level bookmark falls back to the root. Nothing
// (nullptr) when the tree holds no category to add to.
BookmarkNode *addTargetParent(const BookmarkTree &tree, BookmarkNode *focused);

} // namespace vellumite
