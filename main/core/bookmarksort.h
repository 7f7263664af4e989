#pragma once

#include "main/core/bookmarktree.h"

#include <Qt>

namespace vellumite {

enum TreeColumn : int { ColumnDescription = 0, ColumnLink = 1, ColumnState = 2 };

// The tree's sort comparison: -1, 0 or 1. Column 0 compares two categories by name and two bookmarks by
// title, but a category and a bookmark compare equal, so this is not a strict weak order: sort only with
// a stable merge sort (sortChildren), never with std::sort.
int VTCompareNodes(const TBookmark &a, const TBookmark &b, int column);

// Sorts one folder's children, stable, by column and order.
void sortChildren(BookmarkNode &folder, int column, Qt::SortOrder order);
// Sorts every folder below (and including) `top`, one folder at a time.
void sortSubtree(BookmarkNode &top, int column, Qt::SortOrder order);

} // namespace vellumite
