#include "main/tree/treecounter.h"

#include "main/tree/bookmarkmodel.h"

namespace vellumite {

TreeCounter::TreeCounter(const BookmarkTree &tree, Show show, QObject *parent)
    : QObject(parent)
    , m_tree(tree)
    , m_show(std::move(show))
{ }

void TreeCounter::follow(const BookmarkModel &model)
{
    const auto stale = [this] { markStale(); };
    connect(&model, &QAbstractItemModel::rowsInserted, this, stale);
    connect(&model, &QAbstractItemModel::rowsRemoved, this, stale);
    connect(&model, &BookmarkModel::rowsInsertedInLayout, this, stale);
    connect(&model, &BookmarkModel::rowsRemovedInLayout, this, stale);
    connect(&model, &QAbstractItemModel::modelReset, this, stale);
}

void TreeCounter::update()
{
    m_stale = false;
    m_show(countTree(m_tree));
}

void TreeCounter::markStale()
{
    if (m_stale)
        return;
    m_stale = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_stale)
                update();
        },
        Qt::QueuedConnection);
}

} // namespace vellumite
