#pragma once

#include "main/core/bookmarktree.h"

#include <vector>

namespace vellumite {

// Where the pointer is relative to the row under it.
enum class DropMode { Nowhere, Above, On, Below };

// One node of a drag and the folder it goes to.
struct NodeMove
{
    BookmarkNode *node = nullptr;
    BookmarkNode *destination = nullptr;

    friend bool operator==(const NodeMove &, const NodeMove &) = default;
};

// Whether nodes dragged within the tree may be dropped at `target` in `mode`, and where each goes.
// `dragged` is the selection in any order; it is reduced to its topmost nodes (a node selected with an
// ancestor moves with it). The drop is accepted only onto a category that none of the dragged nodes
// is, holds directly or lies above; above or below a category it is judged like a drop on it. A dragged
// category always ends inside the target; a dragged bookmark inside it when dropped on it, beside it
// when dropped above or below. Nothing may land beside the root category, so the tree keeps its single
// top-level node.
class InternalDropDecision
{
public:
    InternalDropDecision(const BookmarkTree &tree, const std::vector<BookmarkNode *> &dragged,
                         BookmarkNode *target, DropMode mode);

    bool accepted() const { return m_accepted; }
    // The moves in tree order of the dragged nodes; empty when refused.
    const std::vector<NodeMove> &moves() const { return m_moves; }

private:
    bool accepts(const std::vector<BookmarkNode *> &topmost) const;

    const BookmarkTree &m_tree;
    BookmarkNode *m_target;
    DropMode m_mode;
    bool m_accepted = false;
    std::vector<NodeMove> m_moves;
};

// A link from another program may be dropped only onto a category; it becomes its last child.
bool acceptsExternalDrop(const BookmarkTree &tree, const BookmarkNode *target);

} // namespace vellumite
