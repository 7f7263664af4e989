#pragma once

#include "main/core/bookmark.h"

#include <memory>
#include <vector>

namespace vellumite {

// State flags of a node, as the bookmark file stores them.
namespace NodeState {
enum : quint16 {
    Initialized = 0x0001,
    CheckChanging = 0x0002,
    CutOrCopy = 0x0004,
    Deleting = 0x0010,
    Expanded = 0x0020,
    HasChildren = 0x0040,
    Visible = 0x0080,
    Selected = 0x0100,
    ReleaseRecord = 0x0200,
    HeightMeasured = 0x2000,
    // Everything but the transient flags above survives a save, and nothing else is taken from a
    // stream: a mark of a cut under way belongs to the run that made it.
    StoredMask = 0xDDE9,
};
} // namespace NodeState

// The deepest nesting a tree may have, top-level nodes being level 1. The view lays rows out
// recursively, so a deeper tree, read or pasted, would overflow the stack long before it is useful.
inline constexpr int MaxTreeLevels = 1000;

// One category or bookmark. A node owns its children and its record; the record lives exactly as long
// as the node.
class BookmarkNode
{
public:
    BookmarkNode() = default;
    explicit BookmarkNode(TBookmark record);
    ~BookmarkNode();
    BookmarkNode(const BookmarkNode &) = delete;
    BookmarkNode &operator=(const BookmarkNode &) = delete;

    TBookmark record;
    quint16 states = NodeState::Initialized | NodeState::Visible;
    quint16 nodeHeight = 18;
    quint8 align = 50;
    quint8 checkState = 0;
    quint8 checkType = 0;
    // False only for a node a reader made whose record it never read (the data ended or failed first).
    bool hasRecord = true;

    bool hasState(quint16 flag) const { return (states & flag) != 0; }
    void setState(quint16 flag, bool on) { states = on ? (states | flag) : (states & ~flag); }

    // Unique among all nodes made in this run, never reused: tells a node apart from a later one that
    // happens to take the address of a freed one.
    quint64 serial() const { return m_serial; }

    BookmarkNode *parent() const { return m_parent; }
    // Index among the parent's children.
    int row() const { return m_row; }
    int childCount() const { return static_cast<int>(m_children.size()); }
    BookmarkNode *child(int row) const { return m_children[static_cast<size_t>(row)].get(); }
    BookmarkNode *firstChild() const { return m_children.empty() ? nullptr : m_children.front().get(); }

    BookmarkNode *appendChild(std::unique_ptr<BookmarkNode> node);
    BookmarkNode *insertChild(int row, std::unique_ptr<BookmarkNode> node);
    std::unique_ptr<BookmarkNode> takeChild(int row);
    // Takes `count` children from `first` on, and appends nodes at the end; each in one pass, so a run
    // of many rows costs no more than one renumbering.
    std::vector<std::unique_ptr<BookmarkNode>> takeChildren(int first, int count);
    void appendChildren(std::vector<std::unique_ptr<BookmarkNode>> nodes);
    // Frees `count` children from `first` on, in one pass.
    void removeChildren(int first, int count);
    // Moves the given children (all of this node) into the new order; used by sorting.
    void reorderChildren(std::vector<std::unique_ptr<BookmarkNode>> ordered);
    std::vector<std::unique_ptr<BookmarkNode>> takeAllChildren();

    // True when this node is `other` or one of its ancestors.
    bool isAncestorOrSelf(const BookmarkNode *other) const;
    int depth() const;

    // Tree order: depth first, a parent before its children, collapsed branches included.
    // Returns nullptr after the last node below `top`.
    BookmarkNode *nextInTreeOrder(const BookmarkNode *top) const;

private:
    static quint64 nextSerial();
    void renumberFrom(int first);
    void updateHasChildren() { setState(NodeState::HasChildren, !m_children.empty()); }

    quint64 m_serial = nextSerial();
    BookmarkNode *m_parent = nullptr;
    int m_row = 0;
    std::vector<std::unique_ptr<BookmarkNode>> m_children;
};

// The whole tree below an invisible top level; the root category "Bookmarks" is its first node.
class BookmarkTree
{
public:
    BookmarkNode &topLevel() { return m_top; }
    const BookmarkNode &topLevel() const { return m_top; }
    BookmarkNode *firstNode() const { return m_top.firstChild(); }
    bool isEmpty() const { return m_top.childCount() == 0; }

    // All nodes over all levels.
    qsizetype totalCount() const;
    void clear() { m_top.removeChildren(0, m_top.childCount()); }

    // Calls f(node) for every node in tree order.
    template<typename F> void forEach(F &&f) const
    {
        for (BookmarkNode *n = m_top.firstChild(); n; n = n->nextInTreeOrder(&m_top))
            f(*n);
    }

private:
    BookmarkNode m_top;
};

} // namespace vellumite
