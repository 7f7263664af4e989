#include "exchange/core/placesimport.h"

#include "exchange/core/placesrows.h"
#include "exchange/core/stagingmerge.h"
#include "main/core/bookmarktree.h"

#include <QHash>
#include <memory>

namespace vellumite {

bool importPlaces(const PlacesRows &rows, qint64 folder, BookmarkNode &staging, qint32 browserCode)
{
    struct Category
    {
        BookmarkNode *node = nullptr;
        int depth = 0;
    };
    BookmarkNode read;
    QHash<qint64, Category> categories { { folder, { &read, 0 } } };
    // A folder comes before its content, so its category exists when its rows arrive.
    for (const qsizetype index : rows.rowsBelow(folder)) {
        const PlacesRow &row = rows.row(index);
        const Category parent = categories.value(row.parent);
        if (!parent.node)
            continue;
        const bool isFolder = row.type == PlacesFolderType;
        if (!isFolder && (row.type != PlacesBookmarkType || !row.hasPlace() || row.isPlaceQuery()))
            continue;
        if (parent.depth >= MaxStoreLevels)
            return false;
        const QString title = QString::fromUtf8(row.title);
        TBookmark record = isFolder ? makeCategoryRecord(title)
                                    : makeBookmarkRecord(title, QString::fromUtf8(row.url), browserCode);
        record.ImportSource = FromFirefox;
        BookmarkNode *node = parent.node->appendChild(std::make_unique<BookmarkNode>(std::move(record)));
        if (isFolder)
            categories.insert(row.id, { node, parent.depth + 1 });
    }
    staging.appendChildren(read.takeAllChildren());
    return true;
}

} // namespace vellumite
