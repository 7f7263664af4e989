#pragma once

#include "main/core/bookmarksearch.h"

#include <QAbstractTableModel>
#include <vector>

namespace vellumite {

// The rows of the search window's list: "Description", "Link" and "Location".
class SearchResultModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { DescriptionColumn = 0, LinkColumn = 1, LocationColumn = 2 };
    static constexpr int CategoryImage = 6;

    using QAbstractTableModel::QAbstractTableModel;

    void setRows(std::vector<SearchResult> rows);
    const std::vector<SearchResult> &rows() const { return m_rows; }
    const SearchResult &row(int index) const { return m_rows[size_t(index)]; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    // Stable; the location column compares every pair as equal, so it keeps the order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    std::vector<SearchResult> m_rows;
};

} // namespace vellumite
