#include "main/core/bookmark.h"

namespace vellumite {

TBookmark makeCategoryRecord(const QString &name)
{
    TBookmark category;
    category.CategoryName = name;
    category.Editable = true;
    category.IsCategory = true;
    category.ImageIndex = FolderImageIndex;
    category.ImportSource = FromFavorites;
    category.LinkState = LinkCategory;
    category.PriorityColor = PriorityLow;
    return category;
}

TBookmark makeBookmarkRecord(const QString &title, const QString &link, qint32 browserCode)
{
    TBookmark bookmark;
    bookmark.Description = title;
    bookmark.Link = link;
    bookmark.Editable = true;
    bookmark.ImageIndex = browserCode;
    bookmark.ImportSource = FromFavorites;
    bookmark.LinkState = LinkNotVerified;
    bookmark.PriorityColor = PriorityLow;
    return bookmark;
}

TBookmark makeRootRecord()
{
    TBookmark root = makeCategoryRecord(RootCategoryName);
    root.Editable = false;
    return root;
}

} // namespace vellumite
