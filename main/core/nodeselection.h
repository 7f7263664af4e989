#pragma once

#include "main/core/bookmarktree.h"

#include <vector>

namespace vellumite {

// Puts nodes into tree order: depth first, a parent before its children, as the user sees them.
void sortInTreeOrder(std::vector<BookmarkNode *> &nodes);

// The nodes of a selection that no other selected node contains, in tree order and each once. A command
// that works on whole subtrees takes these, so a node selected together with its parent is handled once,
// with the parent.
std::vector<BookmarkNode *> topmostNodes(const std::vector<BookmarkNode *> &selected);

} // namespace vellumite
