#include "main/core/dropdecision.h"

#include "main/core/nodeselection.h"

namespace vellumite {

namespace {

bool isTreeNode(const BookmarkTree &tree, const BookmarkNode *node)
{
    return node && node != &tree.topLevel() && node->parent();
}

// True when `node` is a proper ancestor of `target`.
bool IsAncestorOf(const BookmarkNode *target, const BookmarkNode *node)
{
    for (const BookmarkNode *n = target->parent(); n; n = n->parent()) {
        if (n == node)
            return true;
    }
    return false;
}

} // namespace

InternalDropDecision::InternalDropDecision(const BookmarkTree &tree,
                                           const std::vector<BookmarkNode *> &dragged, BookmarkNode *target,
                                           DropMode mode)
    : m_tree(tree)
    , m_target(target)
    , m_mode(mode)
{
    const std::vector<BookmarkNode *> topmost = topmostNodes(dragged);
    m_accepted = accepts(topmost);
    if (!m_accepted)
        return;
    // A category cannot stand beside a bookmark target, so it always goes inside; each bookmark follows
    // the drop mode on its own, whatever the nodes before it in the drag were.
    BookmarkNode *beside = m_mode == DropMode::On ? m_target : m_target->parent();
    for (BookmarkNode *node : topmost)
        m_moves.push_back({ node, node->record.IsCategory ? m_target : beside });
}

bool InternalDropDecision::accepts(const std::vector<BookmarkNode *> &topmost) const
{
    if (m_mode == DropMode::Nowhere || !isTreeNode(m_tree, m_target) || topmost.empty())
        return false;
    const bool besideRoot = m_target->parent() == &m_tree.topLevel() && m_mode != DropMode::On;
    for (const BookmarkNode *node : topmost) {
        if (!isTreeNode(m_tree, node))
            return false;
        const TBookmark &dragged = node->record;
        const TBookmark &target = m_target->record;
        if (!target.IsCategory)
            return false;
        if (node == m_target || node->parent() == m_target || IsAncestorOf(m_target, node))
            return false;
        if (besideRoot && !dragged.IsCategory)
            return false;
    }
    return true;
}

bool acceptsExternalDrop(const BookmarkTree &tree, const BookmarkNode *target)
{
    return isTreeNode(tree, target) && target->record.IsCategory;
}

} // namespace vellumite
