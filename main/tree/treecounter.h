#pragma once

#include "main/core/functii.h"

#include <QObject>
#include <functional>

namespace vellumite {

class BookmarkModel;

// Keeps the status-bar counters following a tree. One change can reach the model as many signals (a
// removal from a thousand folders is a thousand removals), and a count walks the whole tree, so a
// signal only marks the counts stale: the tree is counted once, when control returns to the event
// loop, or at once by update().
class TreeCounter : public QObject
{
public:
    using Show = std::function<void(const TreeCounts &)>;

    TreeCounter(const BookmarkTree &tree, Show show, QObject *parent = nullptr);

    // Every insertion, removal and reset of `model` makes the counts stale; moves and sorts change no
    // count.
    void follow(const BookmarkModel &model);
    // Counts the tree and shows the counts now; a count still pending is dropped.
    void update();
    bool isStale() const { return m_stale; }

private:
    void markStale();

    const BookmarkTree &m_tree;
    Show m_show;
    bool m_stale = false;
};

} // namespace vellumite
