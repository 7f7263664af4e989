#pragma once

#include "main/core/bookmarktree.h"

#include <QString>
#include <unordered_set>
#include <vector>

namespace vellumite {

// The search modes, as the search toolbar button keeps them for the run.
enum class SearchMode : int { DescriptionsAndLinks = 0, Descriptions = 1, Links = 2, Dublicates = 3 };

// A node as a list row refers to it: its address and its serial, so that a freed node (or a new one at
// its address) is never taken for it.
struct NodeHandle
{
    const BookmarkNode *node = nullptr;
    quint64 serial = 0;

    static NodeHandle of(const BookmarkNode &n) { return { &n, n.serial() }; }
    friend bool operator==(const NodeHandle &, const NodeHandle &) = default;
};

// The nodes of a tree at one moment, to tell which handles still refer to a node in it.
class LiveNodes
{
public:
    explicit LiveNodes(const BookmarkTree &tree);
    // The node, or nullptr when it is no longer in the tree.
    BookmarkNode *resolve(const NodeHandle &handle) const;

private:
    std::unordered_set<const BookmarkNode *> m_nodes;
};

// One row of the search window's list.
struct SearchResult
{
    QString Description;
    QString Link;
    // The path of the bookmark: the column-0 texts from the top-level node down to the bookmark itself,
    // each followed by "\".
    QString Location;
    qint32 ImageIndex = 0;
    NodeHandle node;
};

QString nodeLocation(const BookmarkNode &node);
// The location as the list shows it: the path of the categories that hold the bookmark, ending in "\".
QString locationText(const SearchResult &row);

// The bookmarks, in tree order, whose description (mode 1), link (mode 2) or description, one space and
// link (mode 0) contain `text`, case folded. An empty text finds nothing.
std::vector<SearchResult> FindAllLinks(const BookmarkTree &tree, const QString &text, SearchMode mode);

// The bookmarks that share their link (exactly) with another one: one row per bookmark, the groups
// sorted by link in code-unit order, each group in tree order.
std::vector<SearchResult> FindDublicates(const BookmarkTree &tree);

// "Total: " and the number of rows.
QString totalText(qsizetype rows);

} // namespace vellumite
