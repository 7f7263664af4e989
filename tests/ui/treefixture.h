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
    TBookmark r = makeBookmarkRecord(title, link, 1);
    r.Comment = comment;
    return std::make_unique<BookmarkNode>(r);
}

inline std::unique_ptr<BookmarkNode> category(const QString &name, const QString &comment = {})
{
    TBookmark r = makeCategoryRecord(name);
    r.Comment = comment;
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
