#pragma once

#include "main/core/bookmarktree.h"

namespace vellumite {

// What the add/edit dialog needs of the main window's tree.
class BookmarkTreeEditor
{
public:
    virtual ~BookmarkTreeEditor() = default;
    // False while a worker block (the save at exit) owns the tree: then nothing may read or change it.
    virtual bool isTreeAvailable() const = 0;
    virtual const BookmarkTree &tree() const = 0;
    virtual BookmarkNode *focusedNode() const = 0;
    // Appends a node holding `record` as the last child of `parent`; the tree sorts it into place.
    virtual BookmarkNode *appendNode(BookmarkNode &parent, TBookmark record) = 0;
    // Gives `node` its edited record; the tree moves it to its sorted place.
    virtual void updateNode(BookmarkNode &node, TBookmark record) = 0;
    // Repaints the tree and clears the selection, then selects `node` (when given) and focuses it.
    virtual void selectOnly(BookmarkNode *node) = 0;
    // The browser code of the open-with browser, the icon of every bookmark.
    virtual qint32 browserCode() const = 0;
};

} // namespace vellumite
