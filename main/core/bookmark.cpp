#include "main/core/bookmark.h"

namespace vellumite {

TBookmark makeRootRecord()
{
    TBookmark root;
    root.CategoryName = RootCategoryName;
    root.Editable = false;
    root.IsCategory = true;
    root.ImageIndex = FolderImageIndex;
    root.ImportSource = FromFavorites;
    root.LinkState = LinkCategory;
    root.PriorityColor = PriorityLow;
    return root;
}

} // namespace vellumite
