#include "main/core/bookmarktree.h"

#include <atomic>
#include <iterator>
#include <utility>

namespace vellumite {

BookmarkNode::BookmarkNode(TBookmark rec)
    : record(std::move(rec))
{ }

// Deep trees are freed iteratively, so a hostile or very deep file cannot exhaust the stack.
BookmarkNode::~BookmarkNode()
{
    std::vector<std::unique_ptr<BookmarkNode>> pending = std::move(m_children);
    while (!pending.empty()) {
        std::unique_ptr<BookmarkNode> node = std::move(pending.back());
        pending.pop_back();
        for (auto &grandChild : node->m_children)
            pending.push_back(std::move(grandChild));
        node->m_children.clear();
    }
}

BookmarkNode *BookmarkNode::appendChild(std::unique_ptr<BookmarkNode> node)
{
    node->m_parent = this;
    node->m_row = childCount();
    m_children.push_back(std::move(node));
    updateHasChildren();
    return m_children.back().get();
}

BookmarkNode *BookmarkNode::insertChild(int row, std::unique_ptr<BookmarkNode> node)
{
    node->m_parent = this;
    BookmarkNode *inserted = node.get();
    m_children.insert(m_children.begin() + row, std::move(node));
    renumberFrom(row);
    updateHasChildren();
    return inserted;
}

std::unique_ptr<BookmarkNode> BookmarkNode::takeChild(int row)
{
    std::unique_ptr<BookmarkNode> node = std::move(m_children[static_cast<size_t>(row)]);
    m_children.erase(m_children.begin() + row);
    node->m_parent = nullptr;
    node->m_row = 0;
    renumberFrom(row);
    updateHasChildren();
    return node;
}

std::vector<std::unique_ptr<BookmarkNode>> BookmarkNode::takeChildren(int first, int count)
{
    std::vector<std::unique_ptr<BookmarkNode>> taken;
    if (count <= 0)
        return taken;
    const auto begin = m_children.begin() + first;
    taken.assign(std::make_move_iterator(begin), std::make_move_iterator(begin + count));
    m_children.erase(begin, begin + count);
    for (auto &node : taken) {
        node->m_parent = nullptr;
        node->m_row = 0;
    }
    renumberFrom(first);
    updateHasChildren();
    return taken;
}

void BookmarkNode::appendChildren(std::vector<std::unique_ptr<BookmarkNode>> nodes)
{
    const int first = childCount();
    for (auto &node : nodes) {
        node->m_parent = this;
        m_children.push_back(std::move(node));
    }
    renumberFrom(first);
    updateHasChildren();
}

void BookmarkNode::removeChildren(int first, int count)
{
    if (count <= 0)
        return;
    m_children.erase(m_children.begin() + first, m_children.begin() + first + count);
    renumberFrom(first);
    updateHasChildren();
}

void BookmarkNode::reorderChildren(std::vector<std::unique_ptr<BookmarkNode>> ordered)
{
    m_children = std::move(ordered);
    for (auto &c : m_children)
        c->m_parent = this;
    renumberFrom(0);
    updateHasChildren();
}

std::vector<std::unique_ptr<BookmarkNode>> BookmarkNode::takeAllChildren()
{
    std::vector<std::unique_ptr<BookmarkNode>> taken = std::move(m_children);
    m_children.clear();
    for (auto &c : taken)
        c->m_parent = nullptr;
    updateHasChildren();
    return taken;
}

bool BookmarkNode::isAncestorOrSelf(const BookmarkNode *other) const
{
    for (const BookmarkNode *n = other; n; n = n->m_parent) {
        if (n == this)
            return true;
    }
    return false;
}

int BookmarkNode::depth() const
{
    int d = 0;
    for (const BookmarkNode *n = m_parent; n; n = n->m_parent)
        ++d;
    return d;
}

BookmarkNode *BookmarkNode::nextInTreeOrder(const BookmarkNode *top) const
{
    if (!m_children.empty())
        return m_children.front().get();
    for (const BookmarkNode *n = this; n && n != top; n = n->m_parent) {
        const BookmarkNode *p = n->m_parent;
        if (p && n->m_row + 1 < p->childCount())
            return p->child(n->m_row + 1);
    }
    return nullptr;
}

quint64 BookmarkNode::nextSerial()
{
    static std::atomic<quint64> last { 0 };
    return ++last;
}

void BookmarkNode::renumberFrom(int first)
{
    for (int i = first; i < childCount(); ++i)
        m_children[static_cast<size_t>(i)]->m_row = i;
}

qsizetype BookmarkTree::totalCount() const
{
    qsizetype count = 0;
    forEach([&count](const BookmarkNode &) { ++count; });
    return count;
}

} // namespace vellumite
