#include "main/core/dropdecision.h"

#include "main/core/nodeselection.h"

#include <unordered_map>

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
    AttachMode attach = m_mode == DropMode::Above ? AttachMode::InsertBefore
        : m_mode == DropMode::Below               ? AttachMode::InsertAfter
                                                  : AttachMode::LastChild;
    for (BookmarkNode *node : topmost) {
        // Once a category has gone in first, the rest of the drag follows it there.
        if (node->record.IsCategory)
            attach = AttachMode::FirstChild;
        m_moves.push_back({ node, m_target, attach });
    }
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

std::vector<BookmarkNode *> childrenAfterMoves(const std::vector<BookmarkNode *> &staying,
                                               const std::vector<NodeMove> &moves)
{
    // Each run of nodes put at one place, in the order they end in.
    std::vector<BookmarkNode *> first;
    std::vector<BookmarkNode *> last;
    std::unordered_map<const BookmarkNode *, std::vector<BookmarkNode *>> before;
    std::unordered_map<const BookmarkNode *, std::vector<BookmarkNode *>> after;
    for (const NodeMove &move : moves) {
        switch (move.mode) {
        case AttachMode::FirstChild:
            first.push_back(move.node);
            break;
        case AttachMode::LastChild:
            last.push_back(move.node);
            break;
        case AttachMode::InsertBefore:
            before[move.target].push_back(move.node);
            break;
        case AttachMode::InsertAfter:
            after[move.target].push_back(move.node);
            break;
        }
    }
    std::vector<BookmarkNode *> children;
    children.reserve(staying.size() + moves.size());
    children.insert(children.end(), first.rbegin(), first.rend());
    for (BookmarkNode *child : staying) {
        if (const auto it = before.find(child); it != before.end()) {
            children.insert(children.end(), it->second.begin(), it->second.end());
            before.erase(it);
        }
        children.push_back(child);
        if (const auto it = after.find(child); it != after.end()) {
            children.insert(children.end(), it->second.rbegin(), it->second.rend());
            after.erase(it);
        }
    }
    children.insert(children.end(), last.begin(), last.end());
    // A node beside a target that is not there is never lost: it goes last.
    for (const NodeMove &move : moves) {
        const bool beside = move.mode == AttachMode::InsertBefore || move.mode == AttachMode::InsertAfter;
        if (beside && (before.contains(move.target) || after.contains(move.target)))
            children.push_back(move.node);
    }
    return children;
}

bool acceptsExternalDrop(const BookmarkTree &tree, const BookmarkNode *target)
{
    return isTreeNode(tree, target) && target->record.IsCategory;
}

} // namespace vellumite
