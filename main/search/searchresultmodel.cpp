#include "main/search/searchresultmodel.h"

#include "main/core/displaytext.h"
#include "main/tree/colours.h"
#include "main/tree/imagelist.h"

#include <algorithm>

namespace vellumite {

void SearchResultModel::setRows(std::vector<SearchResult> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int SearchResultModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int SearchResultModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant SearchResultModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const SearchResult &r = row(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        switch (index.column()) {
        case DescriptionColumn:
            return r.Description;
        case LinkColumn:
            // As in the tree: no control character may reorder what a link reads.
            return withVisibleBidiControls(r.Link);
        default:
            return locationText(r);
        }
    case Qt::DecorationRole:
        if (index.column() == DescriptionColumn)
            return ImageList::instance().icon(r.ImageIndex);
        if (index.column() == LocationColumn)
            return ImageList::instance().icon(CategoryImage);
        return {};
    case Qt::ForegroundRole:
        switch (index.column()) {
        case DescriptionColumn:
            return rgbColour(0x00252525);
        case LinkColumn:
            return rgbColour(0x00000000);
        default:
            return rgbColour(0x00808080);
        }
    default:
        return {};
    }
}

QVariant SearchResultModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QString titles[]
        = { QStringLiteral("Description"), QStringLiteral("Link"), QStringLiteral("Location") };
    return section >= 0 && section < 3 ? titles[section] : QVariant();
}

void SearchResultModel::sort(int column, Qt::SortOrder order)
{
    if (column != DescriptionColumn && column != LinkColumn)
        return;
    const auto key = [column](const SearchResult &r) -> const QString & {
        return column == DescriptionColumn ? r.Description : r.Link;
    };
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> sourceRows(m_rows.size());
    for (size_t i = 0; i < sourceRows.size(); ++i)
        sourceRows[i] = int(i);
    std::stable_sort(sourceRows.begin(), sourceRows.end(), [&](int a, int b) {
        const int c = QString::compare(key(m_rows[size_t(a)]), key(m_rows[size_t(b)]), Qt::CaseSensitive);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    std::vector<int> newRowOf(m_rows.size());
    std::vector<SearchResult> sorted;
    sorted.reserve(m_rows.size());
    for (size_t i = 0; i < sourceRows.size(); ++i) {
        newRowOf[size_t(sourceRows[i])] = int(i);
        sorted.push_back(std::move(m_rows[size_t(sourceRows[i])]));
    }
    m_rows = std::move(sorted);
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex &i : before)
        after << index(newRowOf[size_t(i.row())], i.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace vellumite
