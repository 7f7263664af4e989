#pragma once

#include "main/core/bookmarktree.h"

#include <QStringList>
#include <memory>

// Small trees for the tests of the bookmark tree's model and view.
namespace treefixture {

using namespace vellumite;

inline std::unique_ptr<BookmarkNode> bookmark(const QString &title, const QString &link = {},
                                              const QString &comment = {})
{
    TBookmark r;
    r.Description = title;
    r.Link = link;
    r.Comment = comment;
    r.Editable = true;
    r.ImageIndex = 1;
    r.LinkState = LinkNotVerified;
    r.PriorityColor = PriorityLow;
    return std::make_unique<BookmarkNode>(r);
}

inline std::unique_ptr<BookmarkNode> category(const QString &name, const QString &comment = {})
{
    TBookmark r;
    r.CategoryName = name;
    r.Comment = comment;
    r.Editable = true;
    r.IsCategory = true;
    r.ImageIndex = FolderImageIndex;
    r.LinkState = LinkCategory;
    r.PriorityColor = PriorityLow;
    return std::make_unique<BookmarkNode>(r);
}

inline BookmarkNode *addRoot(BookmarkTree &tree)
{
    return tree.topLevel().appendChild(std::make_unique<BookmarkNode>(makeRootRecord()));
}

// The column-0 texts of a folder's children, in order.
inline QStringList names(const BookmarkNode &folder)
{
    QStringList out;
    for (int i = 0; i < folder.childCount(); ++i)
        out << folder.child(i)->record.name();
    return out;
}

} // namespace treefixture
