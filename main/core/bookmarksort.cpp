#include "main/core/bookmarksort.h"

#include <algorithm>

namespace vellumite {

namespace {

int ordinal(const QString &a, const QString &b)
{
    const int c = QStringView(a).compare(QStringView(b), Qt::CaseSensitive);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

using NodePtr = std::unique_ptr<BookmarkNode>;

// Top-down merge sort (the left half holds n / 2 items); taking from the left run on equality keeps it
// stable, and the fixed split makes the result of the non-transitive column-0 comparison reproducible.
template<typename LessOrEqual>
void mergeSort(std::vector<NodePtr> &items, std::vector<NodePtr> &buffer, size_t lo, size_t hi,
               const LessOrEqual &lessOrEqual)
{
    if (hi - lo < 2)
        return;
    const size_t mid = lo + (hi - lo) / 2;
    mergeSort(items, buffer, lo, mid, lessOrEqual);
    mergeSort(items, buffer, mid, hi, lessOrEqual);
    size_t i = lo, j = mid, k = lo;
    while (i < mid && j < hi)
        buffer[k++] = lessOrEqual(*items[i], *items[j]) ? std::move(items[i++]) : std::move(items[j++]);
    while (i < mid)
        buffer[k++] = std::move(items[i++]);
    while (j < hi)
        buffer[k++] = std::move(items[j++]);
    for (k = lo; k < hi; ++k)
        items[k] = std::move(buffer[k]);
}

} // namespace

int VTCompareNodes(const TBookmark &a, const TBookmark &b, int column)
{
    switch (column) {
    case ColumnDescription:
        if (a.IsCategory && b.IsCategory)
            return ordinal(a.CategoryName, b.CategoryName);
        if (!a.IsCategory && !b.IsCategory)
            return ordinal(a.Description, b.Description);
        return 0;
    case ColumnLink:
        return ordinal(a.Link, b.Link);
    default:
        return 0;
    }
}

void sortChildren(BookmarkNode &folder, int column, Qt::SortOrder order)
{
    if (folder.childCount() < 2)
        return;
    const int sign = order == Qt::AscendingOrder ? 1 : -1;
    std::vector<NodePtr> items = folder.takeAllChildren();
    std::vector<NodePtr> buffer(items.size());
    mergeSort(items, buffer, 0, items.size(), [column, sign](const BookmarkNode &a, const BookmarkNode &b) {
        return sign * VTCompareNodes(a.record, b.record, column) <= 0;
    });
    folder.reorderChildren(std::move(items));
}

void sortSubtree(BookmarkNode &top, int column, Qt::SortOrder order)
{
    // Iterative, so deep trees cannot exhaust the stack.
    std::vector<BookmarkNode *> pending { &top };
    while (!pending.empty()) {
        BookmarkNode *folder = pending.back();
        pending.pop_back();
        sortChildren(*folder, column, order);
        for (int i = 0; i < folder->childCount(); ++i) {
            if (folder->child(i)->childCount() > 0)
                pending.push_back(folder->child(i));
        }
    }
}

} // namespace vellumite
