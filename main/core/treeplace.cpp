#include "main/core/treeplace.h"

namespace vellumite {

namespace {

// The first node after `node` and all its descendants.
BookmarkNode *nextAfterBranch(const BookmarkNode &node, const BookmarkNode *top)
{
    for (const BookmarkNode *n = &node; n && n != top; n = n->parent()) {
        const BookmarkNode *parent = n->parent();
        if (parent && n->row() + 1 < parent->childCount())
            return parent->child(n->row() + 1);
    }
    return nullptr;
}

} // namespace

void TreePlace::advance()
{
    if (m_removed)
        m_removed = false;
    else if (m_node)
        m_node = m_node->nextInTreeOrder(m_top);
}

const BookmarkNode *TreePlace::branchIn(const BookmarkNode &folder) const
{
    for (const BookmarkNode *n = m_node; n; n = n->parent()) {
        if (n->parent() == &folder)
            return n;
    }
    return nullptr;
}

void TreePlace::folderAboutToBeReordered(const BookmarkNode &folder)
{
    m_followersBeforeReorder.clear();
    m_reorderedFolder = &folder;
    const BookmarkNode *branch = branchIn(folder);
    if (!branch)
        return;
    for (int row = branch->row() + 1; row < folder.childCount(); ++row)
        m_followersBeforeReorder.push_back(folder.child(row));
}

void TreePlace::nodesAboutToBeRemoved(const BookmarkNode &parent, int first, int last)
{
    const BookmarkNode *branch = branchIn(parent);
    if (!branch || branch->row() < first || branch->row() > last)
        return;
    m_removed = true;
    if (m_reorderedFolder == &parent) {
        for (BookmarkNode *follower : m_followersBeforeReorder) {
            if (follower->parent() == &parent && (follower->row() < first || follower->row() > last)) {
                m_node = follower;
                return;
            }
        }
    }
    m_node = nextAfterBranch(*parent.child(last), m_top);
}

void TreePlace::treeAboutToBeReset()
{
    m_followersBeforeReorder.clear();
    m_node = nullptr;
    m_removed = false;
}

} // namespace vellumite
