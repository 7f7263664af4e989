#pragma once

#include "main/core/bookmarktree.h"

#include <QStringList>

namespace vellumite::treetext {

// A tree as one line: "[Folder a=http://a/ b=http://b/]" for a category holding two bookmarks.
inline QString describe(const BookmarkNode &parent)
{
    QStringList parts;
    for (int row = 0; row < parent.childCount(); ++row) {
        const BookmarkNode &child = *parent.child(row);
        if (child.record.IsCategory)
            parts << QString(u'[' + child.record.CategoryName + u' ' + describe(child)).trimmed() + u']';
        else
            parts << child.record.Description + u'=' + child.record.Link;
    }
    return parts.join(u' ');
}

inline BookmarkNode *addCategory(BookmarkNode &parent, const QString &name)
{
    return parent.appendChild(std::make_unique<BookmarkNode>(makeCategoryRecord(name)));
}

inline void addBookmark(BookmarkNode &parent, const QString &title, const QString &link)
{
    parent.appendChild(std::make_unique<BookmarkNode>(makeBookmarkRecord(title, link, 1)));
}

} // namespace vellumite::treetext
