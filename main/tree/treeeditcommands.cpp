#include "main/tree/treeeditcommands.h"

#include "main/core/bookmarksort.h"
#include "main/core/popupoffer.h"
#include "main/core/programsettings.h"
#include "main/core/treeclipboard.h"
#include "main/tree/bookmarkmodel.h"
#include "main/tree/bookmarktreeview.h"
#include "platform/messageservice.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QUuid>

namespace vellumite {

TreeEditCommands::TreeEditCommands(BookmarkModel &model, BookmarkTreeView &view)
    : m_model(model)
    , m_view(view)
{ }

TreeEditCommands::DeleteOutcome TreeEditCommands::deleteSelection(MessageService &messages)
{
    std::vector<BookmarkNode *> selected = m_view.selectedNodes();
    if (selected.empty())
        return DeleteOutcome::NothingSelected;
    BookmarkNode *root = m_model.tree().firstNode();
    if (std::erase(selected, root) > 0) {
        if (selected.empty()) {
            messages.information(ApplicationTitle, RootNotDeletableMessage);
            return DeleteOutcome::RootRefused;
        }
        m_view.selectionModel()->select(m_model.indexFromNode(root),
                                        QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    }
    if (messages.question(DeleteQuestionCaption, DeleteQuestionText) != MessageAnswer::Yes)
        return DeleteOutcome::Declined;
    m_model.removeNodes(selected);
    return DeleteOutcome::Deleted;
}

void TreeEditCommands::renameFocused()
{
    BookmarkNode *node = m_view.focusedNode();
    if (!node)
        return;
    const int column = node->record.IsCategory ? int(ColumnDescription) : m_view.currentIndex().column();
    m_view.edit(m_model.indexFromNode(node, column));
}

void TreeEditCommands::setFocusedPriority(int tag)
{
    BookmarkNode *node = m_view.focusedNode();
    const std::optional<Colour> colour = priorityColourOfTag(tag);
    if (!node || !colour)
        return;
    node->record.PriorityColor = *colour;
    m_model.recordChanged(node);
    m_view.viewport()->update();
}

void TreeEditCommands::expandAll()
{
    m_view.expandAll();
}

void TreeEditCommands::collapseAll()
{
    m_view.collapseAll();
    m_view.expand(m_model.indexFromNode(m_model.tree().firstNode()));
}

bool TreeEditCommands::placeOnClipboard(ClipboardMode mode)
{
    const std::vector<BookmarkNode *> nodes = nodesToCopy(m_model.tree(), m_view.selectedNodes());
    if (nodes.empty())
        return false;

    clearCutMarks();
    if (mode == ClipboardMode::Cut) {
        m_cutId = QUuid::createUuid().toRfc4122();
        for (BookmarkNode *node : nodes) {
            node->setState(NodeState::CutOrCopy, true);
            m_cut.insert(node);
        }
    }
    const std::vector<const BookmarkNode *> copied(nodes.begin(), nodes.end());
    QGuiApplication::clipboard()->setMimeData(makeTreeMimeData(copied, m_cutId).release());
    return true;
}

TreeEditCommands::PasteOutcome TreeEditCommands::paste(MessageService &messages)
{
    BookmarkNode *target = m_view.focusedNode();
    if (!target || !target->record.IsCategory)
        return PasteOutcome::Nothing;
    QClipboard *clipboard = QGuiApplication::clipboard();
    const QMimeData *data = clipboard->mimeData();
    if (!holdsTreeData(data))
        return PasteOutcome::Nothing;

    if (!m_cutId.isEmpty() && treeCutIdOf(data) == m_cutId) {
        const std::vector<BookmarkNode *> cut = cutNodes();
        if (!cut.empty()) {
            // When every cut node would go into itself or below itself, nothing moves and the cut
            // waits for a paste elsewhere.
            if (m_model.moveNodes(cut, target).empty())
                return PasteOutcome::Nothing;
            clearCutMarks();
            clipboard->clear();
            return PasteOutcome::Moved;
        }
        // The cut nodes are gone from the tree; what the clipboard holds is pasted as a copy.
    }

    std::vector<std::unique_ptr<BookmarkNode>> nodes;
    if (const QString failure = readTreeData(*data, nodes, MaxTreeLevels - target->depth());
        !failure.isEmpty()) {
        messages.error(ApplicationTitle, failure);
        return PasteOutcome::Failed;
    }
    if (nodes.empty())
        return PasteOutcome::Nothing;
    m_model.appendNodes(target, std::move(nodes));
    return PasteOutcome::Copied;
}

std::vector<BookmarkNode *> TreeEditCommands::cutNodes() const
{
    std::vector<BookmarkNode *> cut;
    if (m_cutId.isEmpty())
        return cut;
    // Only the nodes this cut marked, and of them only those still in the tree with their mark: a mark
    // read from a file or the clipboard never counts.
    m_model.tree().forEach([this, &cut](BookmarkNode &node) {
        if (node.hasState(NodeState::CutOrCopy) && m_cut.contains(&node))
            cut.push_back(&node);
    });
    return cut;
}

bool TreeEditCommands::clipboardHoldsTreeData()
{
    return holdsTreeData(QGuiApplication::clipboard()->mimeData());
}

void TreeEditCommands::clearCutMarks()
{
    if (m_cutId.isEmpty())
        return;
    m_model.tree().forEach([](BookmarkNode &node) { node.setState(NodeState::CutOrCopy, false); });
    m_cut.clear();
    m_cutId.clear();
}

} // namespace vellumite
