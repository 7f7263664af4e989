#pragma once

#include "main/dialogs/bookmarktreeeditor.h"

#include <functional>

class QTreeView;

namespace vellumite {

class BookmarkModel;

// The main window's tree as the add/edit dialog works on it: the model for every change, so the view
// follows, and the view for the focused node and the selection.
class ModelTreeEditor final : public BookmarkTreeEditor
{
public:
    ModelTreeEditor(BookmarkModel &model, QTreeView &view, std::function<bool()> treeAvailable,
                    std::function<qint32()> browserCode);

    bool isTreeAvailable() const override;
    const BookmarkTree &tree() const override;
    BookmarkNode *focusedNode() const override;
    BookmarkNode *appendNode(BookmarkNode &parent, TBookmark record) override;
    void updateNode(BookmarkNode &node, TBookmark record) override;
    void selectOnly(BookmarkNode *node) override;
    qint32 browserCode() const override;

private:
    BookmarkModel &m_model;
    QTreeView &m_view;
    std::function<bool()> m_treeAvailable;
    std::function<qint32()> m_browserCode;
};

} // namespace vellumite
