#include "main/core/nodeselection.h"

#include <algorithm>

namespace vellumite {

namespace {

int depthOf(const BookmarkNode *node)
{
    int depth = 0;
    for (const BookmarkNode *n = node->parent(); n; n = n->parent())
        ++depth;
    return depth;
}

struct DepthAndNode
{
    int depth;
    BookmarkNode *node;
};

// Whether `a` comes before `b` in tree order: the deeper one is lifted to the other's level, then both
// climb to the children of their nearest common ancestor, which their rows order. No path is built, so
// a sort of thousands of nodes allocates nothing per comparison.
bool comesBefore(const DepthAndNode &a, const DepthAndNode &b)
{
    const BookmarkNode *x = a.node;
    const BookmarkNode *y = b.node;
    if (x == y)
        return false;
    for (int depth = a.depth; depth > b.depth; --depth) {
        x = x->parent();
        if (x == y)
            return false; // b holds a
    }
    for (int depth = b.depth; depth > a.depth; --depth) {
        y = y->parent();
        if (y == x)
            return true; // a holds b
    }
    while (x->parent() != y->parent()) {
        x = x->parent();
        y = y->parent();
    }
    return x->row() < y->row();
}

} // namespace

void sortInTreeOrder(std::vector<BookmarkNode *> &nodes)
{
    std::vector<DepthAndNode> keyed;
    keyed.reserve(nodes.size());
    for (BookmarkNode *node : nodes)
        keyed.push_back({ depthOf(node), node });
    std::sort(keyed.begin(), keyed.end(), comesBefore);
    for (size_t i = 0; i < keyed.size(); ++i)
        nodes[i] = keyed[i].node;
}

// In tree order every node inside another one follows it, before any node outside it: a node is
// covered exactly when the last node kept holds it.
std::vector<BookmarkNode *> topmostNodes(const std::vector<BookmarkNode *> &selected)
{
    std::vector<BookmarkNode *> sorted;
    sorted.reserve(selected.size());
    for (BookmarkNode *node : selected) {
        if (node)
            sorted.push_back(node);
    }
    sortInTreeOrder(sorted);
    std::vector<BookmarkNode *> topmost;
    for (BookmarkNode *node : sorted) {
        if (topmost.empty() || !topmost.back()->isAncestorOrSelf(node))
            topmost.push_back(node);
    }
    return topmost;
}

} // namespace vellumite
