#include "main/core/nodeselection.h"

#include <algorithm>
#include <unordered_set>

namespace vellumite {

namespace {

// The rows from the top level down to the node.
std::vector<int> pathOf(const BookmarkNode *node)
{
    std::vector<int> path;
    for (const BookmarkNode *n = node; n && n->parent(); n = n->parent())
        path.push_back(n->row());
    std::reverse(path.begin(), path.end());
    return path;
}

} // namespace

void sortInTreeOrder(std::vector<BookmarkNode *> &nodes)
{
    std::vector<std::pair<std::vector<int>, BookmarkNode *>> keyed;
    keyed.reserve(nodes.size());
    for (BookmarkNode *node : nodes)
        keyed.emplace_back(pathOf(node), node);
    // A parent's path is a prefix of its children's, and a prefix orders first.
    std::sort(keyed.begin(), keyed.end(), [](const auto &a, const auto &b) { return a.first < b.first; });
    for (size_t i = 0; i < keyed.size(); ++i)
        nodes[i] = keyed[i].second;
}

std::vector<BookmarkNode *> topmostNodes(const std::vector<BookmarkNode *> &selected)
{
    const std::unordered_set<const BookmarkNode *> chosen(selected.begin(), selected.end());
    std::unordered_set<const BookmarkNode *> taken;
    std::vector<BookmarkNode *> topmost;
    for (BookmarkNode *node : selected) {
        if (!node || taken.contains(node))
            continue;
        bool inside = false;
        for (const BookmarkNode *n = node->parent(); n && !inside; n = n->parent())
            inside = chosen.contains(n);
        if (!inside) {
            taken.insert(node);
            topmost.push_back(node);
        }
    }
    sortInTreeOrder(topmost);
    return topmost;
}

} // namespace vellumite
