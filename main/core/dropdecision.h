#pragma once

#include "main/core/bookmarktree.h"

#include <vector>

namespace vellumite {

// Where the pointer is relative to the row under it.
enum class DropMode { Nowhere, Above, On, Below };

// Where a moved node is put, relative to the drop target: in its folder just before or just after it,
// or inside it as the first or the last child.
enum class AttachMode { InsertBefore, InsertAfter, FirstChild, LastChild };

// One node of a drag and where it goes.
struct NodeMove
{
    BookmarkNode *node = nullptr;
    BookmarkNode *target = nullptr;
    AttachMode mode = AttachMode::LastChild;

    // The folder the node ends in.
    BookmarkNode *destination() const
    {
        return mode == AttachMode::FirstChild || mode == AttachMode::LastChild ? target : target->parent();
    }

    friend bool operator==(const NodeMove &, const NodeMove &) = default;
};

// The children of a folder once `moves`, all into that folder, are done one after the other in their
// order: `staying` are the folder's children that do not move, in their order. A node put first or just
// after its target goes in front of those put there before it; last or just before its target, behind
// them. The targets of the moves beside a target are among `staying`.
std::vector<BookmarkNode *> childrenAfterMoves(const std::vector<BookmarkNode *> &staying,
                                               const std::vector<NodeMove> &moves);

// Whether nodes dragged within the tree may be dropped at `target` in `mode`, and where each goes.
// `dragged` is the selection in any order; it is reduced to its topmost nodes (a node selected with an
// ancestor moves with it). The drop is accepted only onto a category that none of the dragged nodes
// is, holds directly or lies above; above or below a category it is judged like a drop on it. The drop
// mode puts a node before the target, inside it last, or after it; from the first dragged category on,
// in tree order, every node goes inside the target as its first child, a category never standing
// beside a category it was dropped on. Nothing may land beside the root category, so the tree keeps its
// single top-level node.
class InternalDropDecision
{
public:
    InternalDropDecision(const BookmarkTree &tree, const std::vector<BookmarkNode *> &dragged,
                         BookmarkNode *target, DropMode mode);

    bool accepted() const { return m_accepted; }
    // The moves in tree order of the dragged nodes, to be done in that order; empty when refused.
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
