#pragma once

#include "main/core/bookmarktree.h"

#include <unordered_set>
#include <vector>

namespace vellumite {

// The bookmarks one verification tests, in the tree order they had when it began, and how far it got.
// Sorts, moves and edits of the tree meanwhile change nothing here, so each bookmark is tested once; a
// bookmark removed from the tree is crossed off and never given a result.
class LinkCheckQueue
{
public:
    explicit LinkCheckQueue(const std::vector<BookmarkNode *> &bookmarks);

    // The bookmark at the queue's place; nullptr at the end or when it was removed.
    BookmarkNode *current() const;
    bool atEnd() const { return m_place >= m_entries.size(); }
    void advance();

    // Rows `first` to `last` of `parent` are about to go, with their descendants.
    void nodesAboutToBeRemoved(const BookmarkNode &parent, int first, int last);
    // Every node may go: nothing is left to test.
    void treeAboutToBeReset();

private:
    struct Entry
    {
        BookmarkNode *node;
        // Told apart by their serials, a node that took the address of a removed one is never taken for it.
        quint64 serial;
    };
    std::vector<Entry> m_entries;
    size_t m_place = 0;
    std::unordered_set<quint64> m_removed;
};

} // namespace vellumite
