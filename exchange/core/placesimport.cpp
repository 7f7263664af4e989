#include "exchange/core/placesimport.h"

#include "exchange/core/placesrows.h"
#include "main/core/bookmarktree.h"

#include <QHash>
#include <memory>

namespace vellumite {

void importPlaces(const PlacesRows &rows, qint64 folder, BookmarkNode &staging, qint32 browserCode)
{
    QHash<qint64, BookmarkNode *> categories { { folder, &staging } };
    // A folder comes before its content, so its category exists when its rows arrive.
    for (const qsizetype index : rows.rowsBelow(folder)) {
        const PlacesRow &row = rows.row(index);
        BookmarkNode *parent = categories.value(row.parent);
        if (!parent)
            continue;
        const QString title = QString::fromUtf8(row.title);
        if (row.type == PlacesFolderType) {
            TBookmark record = makeCategoryRecord(title);
            record.ImportSource = FromFirefox;
            categories.insert(row.id, parent->appendChild(std::make_unique<BookmarkNode>(std::move(record))));
        } else if (row.type == PlacesBookmarkType && row.hasPlace() && !row.isPlaceQuery()) {
            TBookmark record = makeBookmarkRecord(title, QString::fromUtf8(row.url), browserCode);
            record.ImportSource = FromFirefox;
            parent->appendChild(std::make_unique<BookmarkNode>(std::move(record)));
        }
    }
}

} // namespace vellumite
