#pragma once

#include "main/core/bookmarktree.h"

#include <vector>

namespace vellumite {

// A place in a walk over the tree in tree order that survives deletions: told before nodes leave the
// tree, it moves on to the node that followed them, so deleting never makes a walk skip or repeat a node.
// Finding the next node costs constant time on average over a walk.
class TreePlace
{
public:
    TreePlace(const BookmarkNode &top, BookmarkNode *start)
        : m_top(&top)
        , m_node(start)
    { }

    // The node at the place; nullptr at the end or when it was removed (advance() then goes on).
    BookmarkNode *node() const { return m_removed ? nullptr : m_node; }
    bool atEnd() const { return m_node == nullptr; }
    // The next node in tree order, or the one that followed the removed node.
    void advance();

    // Rows `first` to `last` of `parent` are about to go, with their descendants.
    void nodesAboutToBeRemoved(const BookmarkNode &parent, int first, int last);
    // The children of `folder` are about to be put in another order. A removal may follow at once (the
    // model gathers scattered rows first), so the siblings that followed the place are kept until then.
    void folderAboutToBeReordered(const BookmarkNode &folder);
    void nodesRemoved() { m_followersBeforeReorder.clear(); }
    // Every node may go: the walk ends.
    void treeAboutToBeReset();

private:
    // The ancestor-or-self of the place that is a child of `folder`, or nullptr.
    const BookmarkNode *branchIn(const BookmarkNode &folder) const;

    const BookmarkNode *m_top;
    const BookmarkNode *m_reorderedFolder = nullptr;
    std::vector<BookmarkNode *> m_followersBeforeReorder;
    BookmarkNode *m_node;
    bool m_removed = false;
};

} // namespace vellumite
