#pragma once

#include "main/core/bookmarktree.h"

#include <QString>
#include <memory>
#include <vector>

namespace vellumite {

// The levels a store may fill below the root category, which is the first level of the program's tree.
// A reader refuses a store that nests entries deeper, as a whole: it neither cuts branches nor makes
// the tree deeper than it can hold.
inline constexpr int MaxStoreLevels = MaxTreeLevels - 1;

// What a reader says of a store deeper than MaxStoreLevels; `where` ("line 12") may tell where it
// found the first entry too deep.
QString storeTooDeepReason(const QString &where = QString());

// How a store compares the names of what it reads with the names already in a folder.
// CategoriesIgnoreCase: folder names without regard to case, bookmark names exactly (a store of
// files and folders on a file system that ignores case).
enum class NameMatch { Exact, IgnoreCase, CategoriesIgnoreCase };

// New subtrees to append under one folder that exists in the target tree.
struct MergeInsertion
{
    BookmarkNode *parent = nullptr;
    std::vector<std::unique_ptr<BookmarkNode>> nodes;
};

// What an import adds to a tree, grouped by the existing folder each new subtree goes under, so a view
// can insert every group in one batch. The parents point into the target tree, which must not change
// between planning and applying.
using MergePlan = std::vector<MergeInsertion>;

// The rules every store reader shares. An entry read from a store (a node of `staging`, taken from its
// children in order) joins a folder of the target only when no child of that folder already has its
// name: a category is matched against categories by CategoryName, a bookmark against bookmarks by
// Description. A matching category is reused and the entry's content merged into it; a matching bookmark
// is skipped; nothing existing is changed. Entries added earlier in the same merge count as present, so
// a store that repeats a name adds it once. `staging` is emptied: its nodes move into the plan.
MergePlan planMerge(BookmarkNode &target, BookmarkNode &staging, NameMatch match);

// Appends each group as the last children of its parent (what a model's batched insert does, without a
// model).
void applyMerge(MergePlan plan);

// planMerge and applyMerge in one step; returns the number of nodes added, descendants included.
qsizetype mergeInto(BookmarkNode &target, BookmarkNode &staging, NameMatch match);

} // namespace vellumite
