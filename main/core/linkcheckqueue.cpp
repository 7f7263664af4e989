#include "main/core/linkcheckqueue.h"

namespace vellumite {

LinkCheckQueue::LinkCheckQueue(const std::vector<BookmarkNode *> &bookmarks)
{
    m_entries.reserve(bookmarks.size());
    for (BookmarkNode *node : bookmarks)
        m_entries.push_back({ node, node->serial() });
}

BookmarkNode *LinkCheckQueue::current() const
{
    if (atEnd())
        return nullptr;
    const Entry &entry = m_entries[m_place];
    return m_removed.contains(entry.serial) ? nullptr : entry.node;
}

void LinkCheckQueue::advance()
{
    if (!atEnd())
        ++m_place;
}

void LinkCheckQueue::nodesAboutToBeRemoved(const BookmarkNode &parent, int first, int last)
{
    if (atEnd())
        return;
    for (int row = first; row <= last && row < parent.childCount(); ++row) {
        const BookmarkNode *branch = parent.child(row);
        for (const BookmarkNode *node = branch; node; node = node->nextInTreeOrder(branch))
            m_removed.insert(node->serial());
    }
}

void LinkCheckQueue::treeAboutToBeReset()
{
    m_entries.clear();
    m_place = 0;
    m_removed.clear();
}

} // namespace vellumite
