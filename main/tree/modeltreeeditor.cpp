#include "main/tree/modeltreeeditor.h"

#include "main/tree/bookmarkmodel.h"

#include <QItemSelectionModel>
#include <QTreeView>

namespace vellumite {

ModelTreeEditor::ModelTreeEditor(BookmarkModel &model, QTreeView &view, std::function<bool()> treeAvailable,
                                 std::function<qint32()> browserCode)
    : m_model(model)
    , m_view(view)
    , m_treeAvailable(std::move(treeAvailable))
    , m_browserCode(std::move(browserCode))
{ }

bool ModelTreeEditor::isTreeAvailable() const
{
    return m_treeAvailable();
}

const BookmarkTree &ModelTreeEditor::tree() const
{
    return m_model.tree();
}

BookmarkNode *ModelTreeEditor::focusedNode() const
{
    return m_model.nodeFromIndex(m_view.currentIndex());
}

BookmarkNode *ModelTreeEditor::appendNode(BookmarkNode &parent, TBookmark record)
{
    return m_model.insertNode(&parent, std::make_unique<BookmarkNode>(std::move(record)));
}

void ModelTreeEditor::updateNode(BookmarkNode &node, TBookmark record)
{
    node.record = std::move(record);
    m_model.recordChanged(&node);
    m_model.resortFolder(node.parent());
}

void ModelTreeEditor::selectOnly(BookmarkNode *node)
{
    QItemSelectionModel *selection = m_view.selectionModel();
    selection->clearSelection();
    if (node) {
        const QModelIndex index = m_model.indexFromNode(node);
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        m_view.scrollTo(index);
    }
    m_view.viewport()->update();
}

qint32 ModelTreeEditor::browserCode() const
{
    return m_browserCode();
}

} // namespace vellumite
